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
//
// One occurrence can be cancelled, or postponed to fire once later; both last
// while the program runs. Nothing else changes when a task fires.
class Scheduler
{
public:
    static constexpr qint64 kWindowMs = 4320; // 0.00005 of a day
    static constexpr qint64 kMaxSpanMs = 60000;

    // One coming firing of a task.
    struct Occurrence
    {
        int row;
        TaskAction action;
        QString rowKey;   // names the row while its cells stay as they are
        QDateTime setFor; // the occurrence as the row sets it
        QDateTime at;     // when it fires: setFor, or later when postponed
        bool postponed() const { return at != setFor; }
    };

    // What became of a firing, or of the user's answer to a warning.
    struct Report
    {
        enum Outcome
        {
            Done,
            Failed,
            Cancelled,
            Postponed,
            Unanswered // no answer yet: the outcome is still to come
        };
        QDateTime at; // the clock's reading at the firing or the answer
        int row = 0;
        QString mode;
        QString task; // the file's full name, or the event's name
        Outcome outcome = Done;
        QString detail; // why it failed or what is known; until when it was postponed
        // One line for the journal: the date and time, the row, the mode, the task and the outcome.
        QString line() const;
        // A time as the journal writes it: with its offset from UTC, so that the
        // repeated hour of autumn reads as what it is.
        static QString journalTime(const QDateTime &time);
    };

    // What the tool tip of a row tells.
    struct Forecast
    {
        enum Kind
        {
            Next,
            Spent, // a once-only task that has fired
            Never, // a mode no rule knows
            Unreadable
        };
        Kind kind = Never;
        QDateTime next;
        QString message; // why the row cannot be read
    };

    Scheduler(TaskTable &table, TaskActions &actions, const Clock &clock, ErrorSink &errors,
              DateTimeText texts = DateTimeText());

    // The handler of the five-second timer: runs the tick and shows a conversion
    // error in the error box.
    void Timer1Timer();

    // Saves the marks: runs once a tick has marked the tasks it fires and before
    // their actions, and when a cancel spends a once-only task. An error it throws
    // in a tick is shown after the tick; the actions run all the same.
    void setBeforeActions(std::function<void()> hook) { m_beforeActions = std::move(hook); }
    // Told every outcome of a firing, at once or later, and every cancel and postponement.
    void setOnReport(std::function<void(const Report &)> hook) { m_onReport = std::move(hook); }

    // One tick. Throws kv::Error at a row it cannot read; the rows after it are
    // not looked at in this tick.
    void tick();

    // The first instant after `after` at which a tick would fire a task, or
    // nothing when no task can fire. Rows the tick cannot read are passed over.
    std::optional<QDateTime> nextOccurrence(const QDateTime &after) const;
    // Each task's first occurrence after `after`, in table order.
    QList<Occurrence> nextOccurrences(const QDateTime &after) const;
    Forecast forecast(int row, const QDateTime &now) const;

    // The occurrence will not fire; a once-only task is spent (fired mark "1", its
    // start count unchanged) and saved. False when it is gone or has fired.
    bool cancel(const Occurrence &occurrence);
    // The occurrence fires once at `until` instead, if the row is still there then.
    bool postpone(const Occurrence &occurrence, const QDateTime &until);

    const DateTimeText &texts() const { return m_texts; }

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
    std::optional<Occurrence> nextOf(int row, const QString &rowKey, const Plan &plan,
                                     qint64 after) const;
    // The row the key names and its plan; row 0 when none has it.
    std::pair<int, std::optional<Plan>> findRow(const QString &rowKey) const;
    bool hasFired(const Occurrence &occurrence) const;
    void report(int row, Report::Outcome outcome, const QString &detail = {}) const;
    Report reportOf(int row, Report::Outcome outcome, const QString &detail = {}) const;

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

    struct Postponement
    {
        qint64 setFor;
        qint64 at;
    };

    TaskTable &m_table;
    TaskActions &m_actions;
    const Clock &m_clock;
    ErrorSink &m_errors;
    DateTimeText m_texts;
    std::optional<QDateTime> m_previous;
    std::function<void()> m_beforeActions;
    std::function<void(const Report &)> m_onReport;
    QStringList m_deferredErrors;
    QHash<QString, qint64> m_fired; // recent firings: row's cells and occurrence -> instant
    QHash<QString, Postponement> m_postponed; // by row key
};

} // namespace kv
