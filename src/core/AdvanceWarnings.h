// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Scheduler.h"

#include <QCoreApplication>
#include <QList>
#include <QObject>
#include <QTimer>

class QAbstractItemModel;

namespace kv {

class Clock;

// A coming "Shut Down", "Restart" or "Stand By", within a minute.
class AdvanceWarning
{
    Q_DECLARE_TR_FUNCTIONS(kv::AdvanceWarning)

public:
    int id = 0; // unique for the run
    QString eventName;
    Scheduler::Occurrence occurrence;
    int secondsLeft = 0; // rounded up

    // "Shut Down in 42 s"
    QString countdownText() const;
    // "At 09.12.2026 23:00:00", and from when it was postponed.
    QString whenText(const DateTimeText &texts) const;
};

// Opens a warning a minute before each occurrence of a task that switches the
// machine off (sooner ones at once), counts it down, and closes it when the
// occurrence fires, moves or is gone. The answers to a warning are Cancel and
// Postpone; a warning nobody answers changes nothing.
class AdvanceWarnings : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 kLeadMs = 60000;
    // The delays that Postpone offers.
    static const QList<int> &postponeMinutes();
    // The event that warns, by the action; empty for the others.
    static QString warnedEvent(TaskAction action);

    AdvanceWarnings(Scheduler &scheduler, const Clock &clock, QObject *parent = nullptr);

    // Looks again after every change of the model's cells or rows.
    void watch(const QAbstractItemModel *model);

    // The open warnings, oldest first.
    QList<AdvanceWarning> warnings() const { return m_open; }
    // When update() runs next by itself, in ms; -1 while nothing is coming.
    int remainingMs() const { return m_timer.isActive() ? m_timer.remainingTime() : -1; }

public slots:
    // Works the warnings out anew from the clock's reading now.
    void update();
    // The same once control returns to the event loop.
    void updateSoon();
    void cancel(int id);
    void postpone(int id, int minutes);

signals:
    void opened(const kv::AdvanceWarning &warning);
    void counted(const kv::AdvanceWarning &warning);
    void closed(int id);
    // An answer moved what fires next.
    void occurrencesChanged();

private:
    const AdvanceWarning *find(int id) const;

    Scheduler &m_scheduler;
    const Clock &m_clock;
    QList<AdvanceWarning> m_open;
    int m_lastId = 0;
    QTimer m_timer;
    QTimer m_soon;
};

} // namespace kv

Q_DECLARE_METATYPE(kv::AdvanceWarning)
