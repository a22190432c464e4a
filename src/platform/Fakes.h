// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Clock.h"
#include "Errors.h"
#include "SystemActions.h"
#include "TaskBase.h"

#include <QStringList>
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
// "open <full name>", "powerOff", "reboot", "standBy", "displayOff".
class RecordingSystemActions : public SystemActions
{
public:
    void openFile(const QString &fullName) override { calls << QStringLiteral("open ") + fullName; }
    void powerOff() override { calls << QStringLiteral("powerOff"); }
    void reboot() override { calls << QStringLiteral("reboot"); }
    void standBy() override { calls << QStringLiteral("standBy"); }
    void displayOff() override { calls << QStringLiteral("displayOff"); }

    QStringList calls;
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

} // namespace kv
