// SPDX-License-Identifier: GPL-3.0-or-later
#include "Scheduler.h"

#include "Clock.h"
#include "Errors.h"
#include "LocalTime.h"
#include "TaskActions.h"
#include "TaskTable.h"

#include <cstdlib>
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
    // A postponed firing that no tick met (the machine slept through it) is
    // given up, like any missed occurrence.
    m_postponed.removeIf([&span](const auto &entry) {
        return entry.value().at < span.from ||
               (entry.value().at == span.from && !span.fromIncluded);
    });

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
            const QString rowKey = firingKeyOf(r, ordinals);
            const auto plan = planFor(r);
            if (!plan)
                continue;
            const auto postponed = m_postponed.constFind(rowKey);
            const bool postponedDue =
                postponed != m_postponed.cend() && span.contains(postponed->at);
            const auto instant = occurrenceIn(span, *plan);
            const QString key = instant ? firingKey(rowKey, *instant) : QString();
            const bool due = instant && !m_fired.contains(key);
            if (!due && !postponedDue)
                continue;
            mark(r);
            if (due)
                m_fired.insert(key, *instant);
            if (postponedDue)
                m_postponed.remove(rowKey);
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

std::optional<Scheduler::Occurrence> Scheduler::nextOf(int row, const QString &rowKey,
                                                       const Plan &plan, qint64 after) const
{
    const auto occurrence = [&](qint64 setFor, qint64 at) {
        return Occurrence{row, plan.action, rowKey, QDateTime::fromMSecsSinceEpoch(setFor),
                          QDateTime::fromMSecsSinceEpoch(at)};
    };
    std::optional<Occurrence> next;
    // A recurring task comes within eight days; a once-only one on its date or,
    // when that has passed, within a day.
    const QDate afterDay = QDateTime::fromMSecsSinceEpoch(after).date();
    QDate day = afterDay.addDays(-1);
    if (plan.firstDay.isValid() && plan.firstDay > day)
        day = plan.firstDay;
    for (const QDate last = day.addDays(8); day <= last; day = day.addDays(1)) {
        if (!plan.matches(day))
            continue;
        const qint64 instant = LocalTime::firstInstant(day, plan.time);
        if (instant <= after || m_fired.contains(firingKey(rowKey, instant)))
            continue;
        next = occurrence(instant, instant);
        break;
    }
    const auto postponed = m_postponed.constFind(rowKey);
    if (postponed != m_postponed.cend() && postponed->at > after &&
        (!next || postponed->at < next->at.toMSecsSinceEpoch()))
        next = occurrence(postponed->setFor, postponed->at);
    return next;
}

QList<Scheduler::Occurrence> Scheduler::nextOccurrences(const QDateTime &after) const
{
    const qint64 from = after.toMSecsSinceEpoch();
    QList<Occurrence> result;
    QHash<QString, int> ordinals;
    for (int r = 1; r < m_table.rowCount(); ++r) {
        const QString rowKey = firingKeyOf(r, ordinals);
        std::optional<Plan> plan;
        try {
            plan = planFor(r);
        } catch (const Error &) {
            continue;
        }
        if (!plan)
            continue;
        if (auto next = nextOf(r, rowKey, *plan, from))
            result << *next;
    }
    return result;
}

std::optional<QDateTime> Scheduler::nextOccurrence(const QDateTime &after) const
{
    std::optional<QDateTime> best;
    for (const Occurrence &occurrence : nextOccurrences(after))
        if (!best || occurrence.at < *best)
            best = occurrence.at;
    return best;
}

Scheduler::Forecast Scheduler::forecast(int row, const QDateTime &now) const
{
    Forecast result;
    std::optional<Plan> plan;
    try {
        plan = planFor(row);
    } catch (const Error &error) {
        result.kind = Forecast::Unreadable;
        result.message = standardErrorText(error.message());
        return result;
    }
    if (!plan) {
        const bool onceOnly =
            Modes::onceOnlyAction(m_table.cell(TaskTable::ModeColumn, row)).has_value();
        result.kind = onceOnly ? Forecast::Spent : Forecast::Never;
        return result;
    }
    QHash<QString, int> ordinals;
    QString rowKey;
    for (int r = 1; r <= row; ++r)
        rowKey = firingKeyOf(r, ordinals);
    if (const auto next = nextOf(row, rowKey, *plan, now.toMSecsSinceEpoch())) {
        result.kind = Forecast::Next;
        result.next = next->at;
    }
    return result;
}

std::pair<int, std::optional<Scheduler::Plan>> Scheduler::findRow(const QString &rowKey) const
{
    QHash<QString, int> ordinals;
    for (int r = 1; r < m_table.rowCount(); ++r) {
        if (firingKeyOf(r, ordinals) != rowKey)
            continue;
        try {
            return {r, planFor(r)};
        } catch (const Error &) {
            break;
        }
    }
    return {0, std::nullopt};
}

bool Scheduler::hasFired(const Occurrence &occurrence) const
{
    const qint64 setFor = occurrence.setFor.toMSecsSinceEpoch();
    // A postponed occurrence counts as fired from the moment it is postponed.
    const auto postponed = m_postponed.constFind(occurrence.rowKey);
    if (postponed != m_postponed.cend() && postponed->setFor == setFor)
        return false;
    return m_fired.contains(firingKey(occurrence.rowKey, setFor));
}

bool Scheduler::cancel(const Occurrence &occurrence)
{
    const auto [row, plan] = findRow(occurrence.rowKey);
    if (!plan || hasFired(occurrence))
        return false;
    const qint64 setFor = occurrence.setFor.toMSecsSinceEpoch();
    m_postponed.remove(occurrence.rowKey);
    m_fired.insert(firingKey(occurrence.rowKey, setFor), setFor);
    report(row, Report::Cancelled);
    if (!plan->firstDay.isValid())
        return true;
    m_table.setCell(TaskTable::FiredColumn, row, QStringLiteral("1"));
    if (m_beforeActions) {
        try {
            m_beforeActions();
        } catch (const Error &error) {
            m_errors.showError(error);
        }
    }
    return true;
}

bool Scheduler::postpone(const Occurrence &occurrence, const QDateTime &until)
{
    const auto [row, plan] = findRow(occurrence.rowKey);
    if (!plan || hasFired(occurrence))
        return false;
    const qint64 setFor = occurrence.setFor.toMSecsSinceEpoch();
    m_fired.insert(firingKey(occurrence.rowKey, setFor), setFor);
    m_postponed.insert(occurrence.rowKey, {setFor, until.toMSecsSinceEpoch()});
    report(row, Report::Postponed, Report::journalTime(until));
    return true;
}

void Scheduler::report(int row, Report::Outcome outcome, const QString &detail) const
{
    if (m_onReport)
        m_onReport(reportOf(row, outcome, detail));
}

Scheduler::Report Scheduler::reportOf(int row, Report::Outcome outcome, const QString &detail) const
{
    Report report;
    report.at = m_clock.now();
    report.row = row;
    report.mode = m_table.cell(TaskTable::ModeColumn, row);
    report.task = m_table.cell(TaskTable::NameColumn, row);
    if (!Modes::eventNames().contains(report.task))
        report.task.prepend(m_table.cell(TaskTable::PathColumn, row));
    report.outcome = outcome;
    report.detail = detail;
    return report;
}

QString Scheduler::Report::line() const
{
    const QString shownDetail = printableExcerpt(detail, kLongestReason);
    QString told;
    switch (outcome) {
    case Done:
        told = QStringLiteral("done");
        break;
    case Failed:
        told = QStringLiteral("failed: ") + shownDetail;
        break;
    case Cancelled:
        told = QStringLiteral("cancelled");
        break;
    case Postponed:
        told = QStringLiteral("postponed to ") + shownDetail;
        break;
    case Unanswered:
        told = QStringLiteral("no answer yet: ") + shownDetail;
        break;
    }
    return QStringLiteral("%1 row %2 %3 \"%4\": %5")
        .arg(journalTime(at), QString::number(row), printableExcerpt(mode), printableExcerpt(task),
             told);
}

QString Scheduler::Report::journalTime(const QDateTime &time)
{
    const int offset = time.offsetFromUtc() / 60;
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) + (offset < 0 ? u'-' : u'+') +
           QStringLiteral("%1:%2")
               .arg(std::abs(offset) / 60, 2, 10, QLatin1Char('0'))
               .arg(std::abs(offset) % 60, 2, 10, QLatin1Char('0'));
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
    // The outcome may come after the table has changed: the row is read now.
    const Report fired = reportOf(row, Report::Done);
    const auto tell = [this, fired](Report::Outcome outcome, const QString &detail) {
        Report told = fired;
        told.outcome = outcome;
        told.detail = detail;
        if (m_onReport)
            m_onReport(told);
    };
    m_actions.run(
        action,
        [tell](const QString &failure) {
            tell(failure.isEmpty() ? Report::Done : Report::Failed, failure);
        },
        [tell](const QString &state) { tell(Report::Unanswered, state); });
}

} // namespace kv
