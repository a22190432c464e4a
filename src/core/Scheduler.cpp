#include "Scheduler.h"

#include "Clock.h"
#include "Errors.h"
#include "TaskActions.h"
#include "TaskTable.h"

#include <limits>
#include <utility>

namespace kv {

Scheduler::Scheduler(TaskTable &table, TaskActions &actions, const Clock &clock, ErrorSink &errors,
                     DateTimeText texts)
    : m_table(table), m_actions(actions), m_clock(clock), m_errors(errors),
      m_texts(std::move(texts))
{}

void Scheduler::Timer1Timer()
{
    std::optional<QString> failure;
    try {
        tick();
    } catch (const Error &error) {
        failure = error.message();
    }
    for (const QString &message : std::exchange(m_deferredErrors, {}))
        m_errors.showError(message);
    if (failure)
        m_errors.showError(*failure);
}

namespace {

qint64 localMSecs(QDate day, QTime time)
{
    return day.toJulianDay() * 86400000 + time.msecsSinceStartOfDay();
}

} // namespace

bool Scheduler::Span::contains(QDate day, QTime time) const
{
    const qint64 ms = sameOffset ? localMSecs(day, time) : QDateTime(day, time).toMSecsSinceEpoch();
    const qint64 lo = sameOffset ? localFrom : from;
    const qint64 hi = sameOffset ? localTo : to;
    return (fromIncluded ? ms >= lo : ms > lo) && ms <= hi;
}

Scheduler::Span Scheduler::spanUntil(const QDateTime &now) const
{
    QDateTime start = now.addMSecs(-kWindowMs);
    bool fromIncluded = true;
    if (m_previous && *m_previous <= now && m_previous->msecsTo(now) <= kMaxSpanMs) {
        start = *m_previous;
        fromIncluded = false;
    }
    return Span{start.toMSecsSinceEpoch(),
                now.toMSecsSinceEpoch(),
                fromIncluded,
                start.offsetFromUtc() == now.offsetFromUtc(),
                localMSecs(start.date(), start.time()),
                localMSecs(now.date(), now.time()),
                start.date(),
                now.date()};
}

template <typename DayMatches>
bool Scheduler::occursIn(const Span &span, QTime time, DayMatches dayMatches)
{
    for (QDate day = span.firstDay; day <= span.lastDay; day = day.addDays(1)) {
        if (dayMatches(day) && span.contains(day, time))
            return true;
    }
    return false;
}

void Scheduler::tick()
{
    const QDateTime now = m_clock.now();
    const Span span = spanUntil(now);
    m_previous = now;

    const int n = m_table.rowCount();
    if (n < 2)
        return;
    for (int r = 1; r < n && r < m_table.rowCount(); ++r) {
        const QString time = m_table.cell(TaskTable::TimeColumn, r);
        const QString mode = m_table.cell(TaskTable::ModeColumn, r);
        const int fired = toInt(m_table.cell(TaskTable::FiredColumn, r)) & 0xFF;
        const auto once = Modes::onceOnlyAction(mode);
        if (once && fired == 1)
            continue;
        if (once && m_table.cell(TaskTable::StartsColumn, r) == QLatin1String("0")) {
            const QDate date = m_texts.toDate(DateTimeText::datePart(time));
            const QTime at = DateTimeText::toTime(DateTimeText::timePart(time));
            if (occursIn(span, at, [&](QDate day) { return day >= date; }))
                fire(r, *once);
            continue;
        }
        // A spent once-only task lands here too; no rule matches it.
        const auto rule = Modes::weeklyRule(Modes::lowerAscii(mode));
        const QTime at = DateTimeText::toTime(DateTimeText::timePart(time));
        if (rule && occursIn(span, at, [&](QDate day) {
                return rule->dayOfWeek == 0 || day.dayOfWeek() == rule->dayOfWeek;
            }))
            fire(r, rule->action);
    }
}

void Scheduler::fire(int row, TaskAction action)
{
    m_table.setCurrentRow(row);
    const int starts = toInt(m_table.cell(TaskTable::StartsColumn, row));
    const int raised = starts == std::numeric_limits<int>::max() ? starts : starts + 1;
    m_table.setCell(TaskTable::StartsColumn, row, QString::number(raised));
    m_table.setCell(TaskTable::FiredColumn, row, QStringLiteral("1"));
    if (m_beforeAction) {
        try {
            m_beforeAction();
        } catch (const Error &error) {
            m_deferredErrors << error.message();
        }
    }
    switch (action) {
    case TaskAction::OpenFile:
        m_actions.PlaySelectedTask();
        break;
    case TaskAction::ShutDown:
        m_actions.DoShutDown();
        break;
    case TaskAction::Restart:
        m_actions.DoRestart();
        break;
    case TaskAction::StandBy:
        m_actions.DoStandBy();
        break;
    case TaskAction::StandOff:
        m_actions.DoStandOff();
        break;
    }
}

} // namespace kv
