// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AdvanceWarnings.h"

#include <QHash>
#include <QObject>

namespace kv {

class Notifications;
class TTrayIcon;

// Each advance warning as a desktop notification too, with the actions "Cancel"
// and "Postpone 15 minutes"; withdrawn when the warning ends. A click on the
// notice itself asks for the main window.
class WarningNotices : public QObject
{
    Q_OBJECT

public:
    static constexpr int kPostponeMinutes = 15;

    WarningNotices(AdvanceWarnings &warnings, Notifications &notifications,
                   const DateTimeText &texts, QObject *parent = nullptr);
    // Withdraws the warnings still on show: nothing carries them out once the
    // program has ended.
    ~WarningNotices() override;

signals:
    // No notification server took the notice of warning `id`.
    void unnoticed(int id);
    // The user clicked a notice, with the server's token to bring a window forward.
    void windowAsked(const QByteArray &token);

private:
    void open(const AdvanceWarning &warning);
    void close(int id);
    void answer(quint32 notice, const QString &action, const QByteArray &token);

    AdvanceWarnings &m_warnings;
    Notifications &m_notifications;
    DateTimeText m_texts;
    QHash<int, quint32> m_notices; // warning -> notice
};

// Tells that a task's action did not happen, or has had no answer yet and how
// it ended then: a desktop notification, or where no notification server takes
// it, a message at the tray icon. Never a box that waits for somebody who may
// not be there.
class FailureNotices : public QObject
{
    Q_OBJECT

public:
    FailureNotices(Notifications &notifications, TTrayIcon &tray, const DateTimeText &texts,
                   QObject *parent = nullptr);

    // Every report of a firing may come: those that went as asked are passed over.
    void tell(const Scheduler::Report &report);
    // "Play now!" could not open the task's file.
    void tellPlayFailed(const QString &task, const QString &reason);
    // The computer will not wake for tasks, for `reason`.
    void tellWakeFailed(const QString &reason);

private:
    struct Text
    {
        QString summary;
        QString body;
    };
    Text textOf(const QString &summary, const Scheduler::Report &report) const;
    quint32 show(const Text &text);
    // A tray message shows one text at a time: it tells of every failure since
    // the user last clicked it.
    void showAtTray(const Text &text);

    Notifications &m_notifications;
    TTrayIcon &m_tray;
    DateTimeText m_texts;
    QHash<quint32, Text> m_waiting;       // notices on their way to the server
    QHash<QString, quint32> m_unanswered; // firing -> its "no answer yet" notice
    QList<Text> m_atTray;                 // the latest of those not clicked away yet
    int m_atTrayCount = 0;
};

} // namespace kv
