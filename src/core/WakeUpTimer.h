// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <optional>

class QAbstractItemModel;

namespace kv {

class Clock;
class Scheduler;

// Wakes the scheduler at the instant the next task is due, so a task fires
// within milliseconds of its set second instead of at the next five-second tick.
// It runs the same tick routine, so nothing can fire twice. With no task due it
// waits for nothing.
class WakeUpTimer : public QObject
{
    Q_OBJECT

public:
    WakeUpTimer(Scheduler &scheduler, const Clock &clock, QObject *parent = nullptr);

    // Re-arms after every change of the model's cells or rows.
    void watch(const QAbstractItemModel *model);

    // The instant the timer is set for, or nothing when it is idle.
    const std::optional<QDateTime> &armedFor() const { return m_armedFor; }
    int remainingMs() const { return m_timer.remainingTime(); }

public slots:
    // Sets the timer for the next occurrence from the clock's reading now; to be
    // called after anything that can move it (a change of the clock included).
    void rearm();
    // The same once control returns to the event loop; many changes make one re-arm.
    void rearmSoon();

signals:
    // After a tick that the timer started.
    void woke();
    // After every re-arm: what is due next may have moved.
    void rearmed();

private:
    void wake();

    Scheduler &m_scheduler;
    const Clock &m_clock;
    QTimer m_timer;
    QTimer m_soon;
    std::optional<QDateTime> m_armedFor;
};

} // namespace kv
