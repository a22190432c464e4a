// SPDX-License-Identifier: GPL-3.0-or-later
#include "WakeForTasks.h"

#include "AdvanceWarnings.h"
#include "Clock.h"
#include "Scheduler.h"

namespace kv {

WakeForTasks::WakeForTasks(Scheduler &scheduler, const Clock &clock, WakeAlarm &alarm,
                           SleepInhibitor &inhibitor, QObject *parent)
    : QObject(parent), m_scheduler(scheduler), m_clock(clock), m_alarm(alarm),
      m_inhibitor(inhibitor)
{}

void WakeForTasks::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (enabled) {
        update();
        return;
    }
    release();
    m_wakeAt.reset();
    m_dueAt.reset();
    m_alarm.setWakeTime(std::nullopt);
}

void WakeForTasks::update()
{
    if (!m_enabled)
        return;
    const QDateTime now = m_clock.now();
    std::optional<QDateTime> wakeAt;
    std::optional<QDateTime> dueAt;
    for (const Scheduler::Occurrence &occurrence : m_scheduler.nextOccurrences(now)) {
        const qint64 lead =
            AdvanceWarnings::warnedEvent(occurrence.action).isEmpty() ? kLeadMs : kWarnedLeadMs;
        // Within its lead already: as early as there is still time for.
        QDateTime at = occurrence.at.addMSecs(-lead);
        if (at <= now)
            at = occurrence.at.addMSecs(-kLeadMs);
        if (at <= now)
            at = occurrence.at;
        if (!wakeAt || at < *wakeAt) {
            wakeAt = at;
            dueAt = occurrence.at;
        }
    }
    m_dueAt = dueAt;
    if (m_holding && (!dueAt || now.msecsTo(*dueAt) > kResumeMarginMs))
        release();
    if (wakeAt != m_wakeAt) {
        m_wakeAt = wakeAt;
        m_alarm.setWakeTime(wakeAt);
    }
}

void WakeForTasks::resumed()
{
    if (!m_enabled || m_holding || !m_dueAt)
        return;
    const qint64 left = m_clock.now().msecsTo(*m_dueAt);
    if (left < 0 || left > kResumeMarginMs)
        return;
    m_holding = true;
    //: Why the program keeps the computer from going to sleep, as the system's power tools
    //: list it: the computer has woken for a task that has yet to fire.
    m_inhibitor.hold(tr("Kronvale: a task is due"));
}

void WakeForTasks::tasksFired()
{
    release();
}

void WakeForTasks::release()
{
    if (!m_holding)
        return;
    m_holding = false;
    m_inhibitor.release();
}

} // namespace kv
