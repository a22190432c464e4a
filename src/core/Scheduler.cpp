// SPDX-License-Identifier: GPL-3.0-or-later
#include "Scheduler.h"

#include "Clock.h"
#include "Errors.h"
#include "LocalTime.h"
#include "TaskActions.h"
#include "TaskTable.h"

#include <limits>
#include <utility>

namespace kv {

namespace {

constexpr qint64 kHourMs = 3600 * 1000;
// Firings are remembered this long, which covers any daylight saving change and
// any clock correction short of a day.
constexpr qint64 kFiringMemoryMs = 26 * kHourMs;

} // namespace

// The stretch of time one tick covers, in milliseconds since the epoch. Where no
// UTC offset change is near, local readings map one to one onto instants and
// are compared directly, which spares a time zone lookup per task.
struct Scheduler::Span
{
    qint64 from; // exclusive, or inclusive when fromIncluded
    qint64 to;   // inclusive
    bool fromIncluded;
    bool uniformOffset;
    qint64 offsetMs;
    QDate firstDay;
    QDate lastDay;

    bool contains(qint64 instant) const
    {
        return (fromIncluded ? instant >= from : instant > from) && instant <= to;
    }
    qint64 instantOf(QDate day, QTime time) const
    {
        return uniformOffset ? LocalTime::readingMSecs(day, time) - offsetMs
                             : LocalTime::firstInstant(day, time);
    }
};

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

bool Scheduler::Plan::matches(QDate day) const
{
    if (firstDay.isValid())
        return day >= firstDay;
    return dayOfWeek == 0 || day.dayOfWeek() == dayOfWeek;
}

std::optional<Scheduler::Plan> Scheduler::planFor(int row) const
{
    const QString time = m_table.cell(TaskTable::TimeColumn, row);
    const QString mode = m_table.cell(TaskTable::ModeColumn, row);
    const int fired = toInt(m_table.cell(TaskTable::FiredColumn, row)) & 0xFF;
    const auto once = Modes::onceOnlyAction(mode);
    if (once && fired == 1)
        return std::nullopt;
    if (once && m_table.cell(TaskTable::StartsColumn, row) == QLatin1String("0")) {
        const QDate date = m_texts.toDate(DateTimeText::datePart(time));
        return Plan{*once, DateTimeText::toTime(DateTimeText::timePart(time)), date};
    }
    // A spent once-only task lands here too; no rule matches it.
    const auto rule = Modes::weeklyRule(Modes::lowerAscii(mode));
    const QTime at = DateTimeText::toTime(DateTimeText::timePart(time));
    if (!rule)
        return std::nullopt;
    return Plan{rule->action, at, QDate(), rule->dayOfWeek};
}

Scheduler::Span Scheduler::spanUntil(const QDateTime &now) const
{
    QDateTime start = now.addMSecs(-kWindowMs);
    bool fromIncluded = true;
    if (m_previous && *m_previous <= now && m_previous->msecsTo(now) <= kMaxSpanMs) {
        start = *m_previous;
        fromIncluded = false;
    }
    const int offset = now.offsetFromUtc();
    const bool uniform =
        start.offsetFromUtc() == offset && start.addMSecs(-3 * kHourMs).offsetFromUtc() == offset;
    return Span{start.toMSecsSinceEpoch(),
                now.toMSecsSinceEpoch(),
                fromIncluded,
                uniform,
                qint64(offset) * 1000,
                start.date().addDays(uniform ? 0 : -1),
                now.date().addDays(uniform ? 0 : 1)};
}

std::optional<qint64> Scheduler::occurrenceIn(const Span &span, const Plan &plan)
{
    for (QDate day = span.firstDay; day <= span.lastDay; day = day.addDays(1)) {
        if (!plan.matches(day))
            continue;
        if (const qint64 instant = span.instantOf(day, plan.time); span.contains(instant))
            return instant;
    }
    return std::nullopt;
}

QString Scheduler::firingKeyOf(int row, QHash<QString, int> &ordinals) const
{
    QString cells;
    for (int c = TaskTable::TimeColumn; c <= TaskTable::ModeColumn; ++c)
        cells += m_table.cell(c, row) + QChar(0x1F);
    return cells + QString::number(ordinals[cells]++);
}

QString Scheduler::firingKey(const QString &rowKey, qint64 instant)
{
    return rowKey + u'@' + QString::number(instant);
}

void Scheduler::forgetFiringsBefore(qint64 instant)
{
    m_fired.removeIf([instant](const auto &entry) { return entry.value() < instant; });
}

void Scheduler::tick()
{
    const QDateTime now = m_clock.now();
    const Span span = spanUntil(now);
    m_previous = now;
    forgetFiringsBefore(span.to - kFiringMemoryMs);

    const int n = m_table.rowCount();
    if (n < 2)
        return;
    struct Firing
    {
        int row;
        TaskAction action;
    };
    QList<Firing> firings;
    QHash<QString, int> ordinals;
    std::optional<Error> failure;
    try {
        for (int r = 1; r < n && r < m_table.rowCount(); ++r) {
            const auto plan = planFor(r);
            if (!plan)
                continue;
            const QString rowKey = firingKeyOf(r, ordinals);
            const auto instant = occurrenceIn(span, *plan);
            if (!instant)
                continue;
            const QString key = firingKey(rowKey, *instant);
            if (m_fired.contains(key))
                continue;
            mark(r);
            m_fired.insert(key, *instant);
            firings.append({r, plan->action});
        }
    } catch (const Error &error) {
        // The tasks before the unreadable row still fire.
        failure = error;
    }
    if (!firings.isEmpty() && m_beforeActions) {
        try {
            m_beforeActions();
        } catch (const Error &error) {
            m_deferredErrors << error.message();
        }
    }
    for (const Firing &firing : firings)
        run(firing.row, firing.action);
    if (failure)
        throw *failure;
}

std::optional<QDateTime> Scheduler::nextOccurrence(const QDateTime &after) const
{
    const qint64 from = after.toMSecsSinceEpoch();
    std::optional<qint64> best;
    QHash<QString, int> ordinals;
    for (int r = 1; r < m_table.rowCount(); ++r) {
        std::optional<Plan> plan;
        try {
            plan = planFor(r);
        } catch (const Error &) {
            continue;
        }
        if (!plan)
            continue;
        const QString rowKey = firingKeyOf(r, ordinals);
        // A recurring task comes within eight days; a once-only one on its date
        // or, when that has passed, within a day.
        QDate day = after.date().addDays(-1);
        if (plan->firstDay.isValid() && plan->firstDay > day)
            day = plan->firstDay;
        for (const QDate last = day.addDays(8); day <= last; day = day.addDays(1)) {
            if (!plan->matches(day))
                continue;
            const qint64 instant = LocalTime::firstInstant(day, plan->time);
            if (instant <= from || m_fired.contains(firingKey(rowKey, instant)))
                continue;
            if (!best || instant < *best)
                best = instant;
            break;
        }
    }
    if (!best)
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(*best);
}

void Scheduler::mark(int row)
{
    m_table.setCurrentRow(row);
    const int starts = toInt(m_table.cell(TaskTable::StartsColumn, row));
    const int raised = starts == std::numeric_limits<int>::max() ? starts : starts + 1;
    m_table.setCell(TaskTable::StartsColumn, row, QString::number(raised));
    m_table.setCell(TaskTable::FiredColumn, row, QStringLiteral("1"));
}

void Scheduler::run(int row, TaskAction action)
{
    // A file task opens the file of the current row.
    m_table.setCurrentRow(row);
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
