// SPDX-License-Identifier: GPL-3.0-or-later
#include "WakeUpTimer.h"

#include "Clock.h"
#include "ModelChanges.h"
#include "Scheduler.h"

#include <QAbstractItemModel>
#include <algorithm>

namespace kv {

namespace {

// Longer waits are cut short: the timer runs on the monotonic clock, and a day
// is long enough for the wall clock to drift from it.
constexpr qint64 kLongestWaitMs = 24 * 3600 * 1000;

} // namespace

WakeUpTimer::WakeUpTimer(Scheduler &scheduler, const Clock &clock, QObject *parent)
    : QObject(parent), m_scheduler(scheduler), m_clock(clock)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &WakeUpTimer::wake);
    m_soon.setSingleShot(true);
    m_soon.setInterval(0);
    connect(&m_soon, &QTimer::timeout, this, &WakeUpTimer::rearm);
}

void WakeUpTimer::watch(const QAbstractItemModel *model)
{
    onEveryChange(model, this, &WakeUpTimer::rearmSoon);
}

void WakeUpTimer::rearm()
{
    m_soon.stop();
    const QDateTime now = m_clock.now();
    m_armedFor = m_scheduler.nextOccurrence(now);
    if (!m_armedFor) {
        m_timer.stop();
    } else {
        // One millisecond late rather than early: a tick before the set instant
        // would find nothing and have to wait again.
        const qint64 wait = std::clamp<qint64>(now.msecsTo(*m_armedFor) + 1, 0, kLongestWaitMs);
        m_timer.start(int(wait));
    }
    emit rearmed();
}

void WakeUpTimer::rearmSoon()
{
    if (!m_soon.isActive())
        m_soon.start();
}

void WakeUpTimer::wake()
{
    m_scheduler.Timer1Timer();
    emit woke();
    rearm();
}

} // namespace kv
