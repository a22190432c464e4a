// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QObject>
#include <optional>

namespace kv {

class Clock;
class Scheduler;

// An alarm that wakes the machine from sleep at a set time.
class WakeAlarm
{
public:
    virtual ~WakeAlarm() = default;
    // Nothing: the alarm is disarmed.
    virtual void setWakeTime(const std::optional<QDateTime> &at) = 0;
};

// Keeps the machine from going to sleep while held.
class SleepInhibitor
{
public:
    virtual ~SleepInhibitor() = default;
    virtual void hold(const QString &why) = 0;
    virtual void release() = 0;
};

// Wakes the machine for the next task, and keeps it awake from the wake until
// that task has fired: the desktop's idle policy would otherwise put it back
// to sleep first. The wake time is worked out anew at every update(), which is
// to follow every re-arm of the scheduler's timer.
class WakeForTasks : public QObject
{
    Q_OBJECT

public:
    // How much earlier than the task the machine wakes: a minute before a task
    // that switches it off, so its warning is seen; a few seconds for the others,
    // for the machine to resume.
    static constexpr qint64 kWarnedLeadMs = 60000;
    static constexpr qint64 kLeadMs = 10000;
    // A resume this close before a task counts as the wake for it, late as the
    // firmware may be.
    static constexpr qint64 kResumeMarginMs = kWarnedLeadMs + 60000;

    WakeForTasks(Scheduler &scheduler, const Clock &clock, WakeAlarm &alarm,
                 SleepInhibitor &inhibitor, QObject *parent = nullptr);

    bool isEnabled() const { return m_enabled; }
    bool isHolding() const { return m_holding; }

public slots:
    // Off disarms the alarm and lets the machine sleep.
    void setEnabled(bool enabled);
    // Also gives the inhibitor up once the task it is held for has gone by,
    // fired or not (cancelled, deleted, unreadable).
    void update();
    // The machine has woken: held awake if a task is due.
    void resumed();
    // A tick fired tasks and is about to run their actions, a Stand By among
    // them perhaps: the inhibitor goes first.
    void tasksFired();

private:
    void release();

    Scheduler &m_scheduler;
    const Clock &m_clock;
    WakeAlarm &m_alarm;
    SleepInhibitor &m_inhibitor;
    bool m_enabled = false;
    bool m_holding = false;
    std::optional<QDateTime> m_wakeAt; // as the alarm was last set
    std::optional<QDateTime> m_dueAt;  // the task that the wake is for
};

} // namespace kv
