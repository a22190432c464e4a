// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Clock.h"
#include "Errors.h"
#include "LocalChannel.h"
#include "Notifications.h"
#include "SystemActions.h"
#include "TaskBase.h"
#include "WakeForTasks.h"

#include <QHash>
#include <QMap>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <utility>

namespace kv {

// A clock that stands still until it is set or advanced.
class FakeClock : public Clock
{
public:
    explicit FakeClock(QDateTime now = {}) : m_now(std::move(now)) {}
    QDateTime now() const override { return m_now; }
    void setNow(const QDateTime &now) { m_now = now; }
    void advance(qint64 ms) { m_now = m_now.addMSecs(ms); }

private:
    QDateTime m_now;
};

// Records what would have been done to the machine, one line a call:
// "open <full name>", "powerOff", "reboot", "standBy", "displayOff". A call
// listed in `failures` fails with the reason given there; one listed in
// `unanswered` is told pending with that text, and done only by answer().
class RecordingSystemActions : public SystemActions
{
public:
    void openFile(const QString &fullName, const Done &done) override
    {
        record(QStringLiteral("open ") + fullName, done);
    }
    void powerOff(const Done &done, const Pending &pending = {}) override
    {
        record(QStringLiteral("powerOff"), done, pending);
    }
    void reboot(const Done &done, const Pending &pending = {}) override
    {
        record(QStringLiteral("reboot"), done, pending);
    }
    void standBy(const Done &done, const Pending &pending = {}) override
    {
        record(QStringLiteral("standBy"), done, pending);
    }
    void displayOff(const Done &done) override { record(QStringLiteral("displayOff"), done); }

    // Answers the calls left pending, in order.
    void answer(const QString &failure = {})
    {
        for (const Done &done : std::exchange(waiting, {}))
            tell(done, failure);
    }

    QStringList calls;
    QHash<QString, QString> failures;
    QHash<QString, QString> unanswered;
    QList<Done> waiting;

private:
    void record(const QString &call, const Done &done, const Pending &pending = {})
    {
        calls << call;
        if (const auto state = unanswered.constFind(call); state != unanswered.cend()) {
            if (pending)
                pending(*state);
            waiting << done;
            return;
        }
        tell(done, failures.value(call));
    }
};

// Keeps the notices shown, as a server would; with `refuses` set, there is none.
// Tests play the user with emit actionInvoked().
class RecordingNotifications : public Notifications
{
public:
    quint32 show(const Notice &notice) override
    {
        shown.insert(++last, notice);
        // As late as a server's answer.
        QTimer::singleShot(0, this, [this, number = last] { emit answered(number, !refuses); });
        return last;
    }
    void withdraw(quint32 notice) override { withdrawn << notice; }

    // The notices on show, oldest first.
    QList<Notice> current() const
    {
        QList<Notice> notices;
        for (auto it = shown.cbegin(); it != shown.cend(); ++it)
            if (!withdrawn.contains(it.key()) && !refuses)
                notices << it.value();
        return notices;
    }

    QMap<quint32, Notice> shown;
    QList<quint32> withdrawn;
    quint32 last = 0;
    bool refuses = false;
};

// Records the texts the error box would have shown.
class RecordingErrorSink : public ErrorSink
{
public:
    QStringList shown;

protected:
    void present(const QString &text) override { shown << text; }
};

// Answers the base dialogs as a user would have, and counts the warnings.
class ScriptedBaseDialogs : public BaseDialogs
{
public:
    QString chooseSavePath(const QString &folder) override
    {
        shownIn << folder;
        return savePath;
    }
    QString chooseOpenPath(const QString &folder) override
    {
        shownIn << folder;
        return openPath;
    }
    void warnTasksNotStopped() override { ++warnings; }
    CloseChoice askAfterFailedSave(const QString &message) override
    {
        closeQuestions << message;
        if (whileAsked)
            whileAsked();
        return closeAnswers.isEmpty() ? CloseChoice::KeepRunning : closeAnswers.takeFirst();
    }

    QString savePath; // empty: the user cancels
    QString openPath;
    QStringList shownIn;
    int warnings = 0;
    QList<CloseChoice> closeAnswers; // none left: the user stays
    QStringList closeQuestions;
    std::function<void()> whileAsked; // what happens before the user answers
};

// Records the wake times set, nothing for a disarm.
class RecordingWakeAlarm : public WakeAlarm
{
public:
    void setWakeTime(const std::optional<QDateTime> &at) override { times << at; }
    QList<std::optional<QDateTime>> times;
};

// Records "hold <why>" and "release".
class RecordingSleepInhibitor : public SleepInhibitor
{
public:
    void hold(const QString &why) override { calls << QStringLiteral("hold ") + why; }
    void release() override { calls << QStringLiteral("release"); }
    QStringList calls;
};

// Listens nowhere: records where it would, and each line sent as "<name> <line>",
// which reaches a listener while `answered`. Lines arrive through receive().
class FakeLocalChannel : public LocalChannel
{
public:
    bool listen(const QString &name) override
    {
        listeningAt = name;
        return true;
    }
    bool send(const QString &name, const QByteArray &line, int) override
    {
        sent << name + QLatin1Char(' ') + QString::fromUtf8(line);
        return answered;
    }
    QString errorString() const override { return {}; }
    void receive(const QByteArray &line) { emit lineReceived(line); }

    QString listeningAt;
    QStringList sent;
    bool answered = true;
};

} // namespace kv
