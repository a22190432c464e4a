// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DateTimeText.h"
#include "Modes.h"

#include <QDateTime>
#include <QHash>
#include <QStringList>
#include <functional>
#include <optional>

namespace kv {

class Clock;
class ErrorSink;
class TaskActions;
class TaskTable;

// The scheduler tick: walks the task list once and fires every task whose set
// time has come since the previous tick.
//
// A row is due when one of its occurrences (its set time on a day its mode
// matches; for a once-only task, on any day not before its date) lies after the
// previous tick's clock reading and at or before this one. The first tick, a tick
// after the clock went back, and a tick long after the previous one (sleep, a
// clock set forward) look back only a few seconds instead, so nothing long past
// fires. An occurrence stands for the instant the local clock first shows its
// time: once in an hour that repeats, at the jump for a time that is skipped.
// An occurrence that fired does not fire again when the clock is set back.
//
// One tick first marks every task it fires (start count and fired mark), then
// lets the marks be saved once, then runs the actions in table order: a burst of
// tasks in one second costs one save, and every mark is on disk before a power
// event can end the session.
class Scheduler
{
public:
    static constexpr qint64 kWindowMs = 4320; // 0.00005 of a day
    static constexpr qint64 kMaxSpanMs = 60000;

    Scheduler(TaskTable &table, TaskActions &actions, const Clock &clock, ErrorSink &errors,
              DateTimeText texts = DateTimeText());

    // The handler of the five-second timer: runs the tick and shows a conversion
    // error in the error box.
    void Timer1Timer();

    // Runs once a tick has marked the tasks it fires and before their actions. An
    // error it throws is shown after the tick; the actions run all the same.
    void setBeforeActions(std::function<void()> hook) { m_beforeActions = std::move(hook); }

    // One tick. Throws kv::Error at a row it cannot read; the rows after it are
    // not looked at in this tick.
    void tick();

    // The first instant after `after` at which a tick would fire a task, or
    // nothing when no task can fire. Rows the tick cannot read are passed over.
    std::optional<QDateTime> nextOccurrence(const QDateTime &after) const;

private:
    // What a row asks for, read as the tick reads it.
    struct Plan
    {
        TaskAction action;
        QTime time;
        QDate firstDay;    // once-only: its date; the occurrence may come on any later day
        int dayOfWeek = 0; // recurring: 1 = Monday ... 7 = Sunday, 0 = every day
        bool matches(QDate day) const;
    };
    // Nothing for a row that can never fire; throws kv::Error for a cell it cannot read.
    std::optional<Plan> planFor(int row) const;

    struct Span;
    Span spanUntil(const QDateTime &now) const;
    static std::optional<qint64> occurrenceIn(const Span &span, const Plan &plan);
    // Names a row by its cells, not its place, so deleting or moving rows does
    // not make a fired occurrence look new; `ordinals` tells identical rows apart.
    QString firingKeyOf(int row, QHash<QString, int> &ordinals) const;
    static QString firingKey(const QString &rowKey, qint64 instant);
    void forgetFiringsBefore(qint64 instant);
    // Raises the start count and sets the fired mark.
    void mark(int row);
    void run(int row, TaskAction action);

    TaskTable &m_table;
    TaskActions &m_actions;
    const Clock &m_clock;
    ErrorSink &m_errors;
    DateTimeText m_texts;
    std::optional<QDateTime> m_previous;
    std::function<void()> m_beforeActions;
    QStringList m_deferredErrors;
    QHash<QString, qint64> m_fired; // recent firings: row's cells and occurrence -> instant
};

} // namespace kv
