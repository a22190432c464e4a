// SPDX-License-Identifier: GPL-3.0-or-later
#include "AdvanceWarnings.h"

#include "Clock.h"
#include "ModelChanges.h"
#include "Modes.h"

#include <algorithm>

namespace kv {

namespace {

// Longer waits are cut short; the five-second tick looks again anyway.
constexpr qint64 kLongestWaitMs = 3600 * 1000;

bool sameOccurrence(const Scheduler::Occurrence &a, const Scheduler::Occurrence &b)
{
    return a.rowKey == b.rowKey && a.setFor == b.setFor && a.at == b.at;
}

int secondsUntil(qint64 ms)
{
    return int((std::max<qint64>(ms, 0) + 999) / 1000);
}

} // namespace

QString AdvanceWarning::countdownText() const
{
    //: The warning's countdown: %1 is the event ("Shut Down", "Restart" or "Stand
    //: By"), %2 the seconds left before it happens.
    return tr("%1 in %2 s").arg(Modes::shown(eventName)).arg(secondsLeft);
}

QString AdvanceWarning::whenText(const DateTimeText &texts) const
{
    if (!occurrence.postponed())
        //: Below the countdown: %1 is the date and time the event is set for.
        return tr("At %1").arg(texts.dateTime(occurrence.at));
    //: Below the countdown of a postponed event: %1 is the new date and time,
    //: %2 the time it was set for.
    return tr("At %1, postponed from %2")
        .arg(texts.dateTime(occurrence.at), DateTimeText::time(occurrence.setFor.time()));
}

const QList<int> &AdvanceWarnings::postponeMinutes()
{
    static const QList<int> minutes{5, 15, 60};
    return minutes;
}

QString AdvanceWarnings::warnedEvent(TaskAction action)
{
    // Stand Off loses nothing and has no warning.
    switch (action) {
    case TaskAction::ShutDown:
        return Modes::eventNames().at(0);
    case TaskAction::Restart:
        return Modes::eventNames().at(1);
    case TaskAction::StandBy:
        return Modes::eventNames().at(2);
    case TaskAction::OpenFile:
    case TaskAction::StandOff:
        break;
    }
    return {};
}

AdvanceWarnings::AdvanceWarnings(Scheduler &scheduler, const Clock &clock, QObject *parent)
    : QObject(parent), m_scheduler(scheduler), m_clock(clock)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &AdvanceWarnings::update);
    m_soon.setSingleShot(true);
    m_soon.setInterval(0);
    connect(&m_soon, &QTimer::timeout, this, &AdvanceWarnings::update);
}

void AdvanceWarnings::watch(const QAbstractItemModel *model)
{
    onEveryChange(model, this, &AdvanceWarnings::updateSoon);
}

void AdvanceWarnings::updateSoon()
{
    if (!m_soon.isActive())
        m_soon.start();
}

void AdvanceWarnings::update()
{
    m_soon.stop();
    const QDateTime now = m_clock.now();
    QList<Scheduler::Occurrence> coming;
    std::optional<qint64> wait;
    const auto waitAtMost = [&wait](qint64 ms) { wait = std::min(wait.value_or(ms), ms); };
    for (const Scheduler::Occurrence &occurrence : m_scheduler.nextOccurrences(now)) {
        if (warnedEvent(occurrence.action).isEmpty())
            continue;
        const qint64 left = now.msecsTo(occurrence.at);
        if (left <= kLeadMs) {
            coming << occurrence;
            // The count goes down when `left` passes a whole second.
            waitAtMost((left - 1) % 1000 + 1);
        } else {
            waitAtMost(left - kLeadMs);
        }
    }

    // Changes are made first and told after, so a listener may answer at once.
    QList<int> gone;
    QList<AdvanceWarning> counted;
    QList<AdvanceWarning> fresh;
    m_open.removeIf([&](const AdvanceWarning &warning) {
        const bool stays = std::any_of(coming.cbegin(), coming.cend(), [&](const auto &occurrence) {
            return sameOccurrence(occurrence, warning.occurrence);
        });
        if (!stays)
            gone << warning.id;
        return !stays;
    });
    for (const Scheduler::Occurrence &occurrence : coming) {
        const int seconds = secondsUntil(now.msecsTo(occurrence.at));
        const auto open = std::find_if(m_open.begin(), m_open.end(), [&](const auto &warning) {
            return sameOccurrence(warning.occurrence, occurrence);
        });
        if (open == m_open.end()) {
            AdvanceWarning warning{++m_lastId, warnedEvent(occurrence.action), occurrence, seconds};
            m_open << warning;
            fresh << warning;
        } else if (open->secondsLeft != seconds) {
            open->secondsLeft = seconds;
            counted << *open;
        }
    }

    if (wait)
        m_timer.start(int(std::clamp<qint64>(*wait, 0, kLongestWaitMs)));
    else
        m_timer.stop();
    for (int id : gone)
        emit closed(id);
    for (const AdvanceWarning &warning : fresh)
        emit opened(warning);
    for (const AdvanceWarning &warning : counted)
        emit this->counted(warning);
}

const AdvanceWarning *AdvanceWarnings::find(int id) const
{
    for (const AdvanceWarning &warning : m_open)
        if (warning.id == id)
            return &warning;
    return nullptr;
}

void AdvanceWarnings::cancel(int id)
{
    const AdvanceWarning *warning = find(id);
    if (!warning)
        return;
    // A failed save shows a box whose event loop may change the warnings.
    const Scheduler::Occurrence occurrence = warning->occurrence;
    m_scheduler.cancel(occurrence);
    emit occurrencesChanged();
    update();
}

void AdvanceWarnings::postpone(int id, int minutes)
{
    const AdvanceWarning *warning = find(id);
    if (!warning || minutes <= 0)
        return;
    const Scheduler::Occurrence occurrence = warning->occurrence;
    m_scheduler.postpone(occurrence, occurrence.at.addSecs(qint64(minutes) * 60));
    emit occurrencesChanged();
    update();
}

} // namespace kv
