#pragma once

#include "DateTimeText.h"
#include "Modes.h"

#include <QDateTime>
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
// fires.
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

    // Runs after a task's cells are marked and before its action, so the marks are
    // on disk before a power event can end the session. An error it throws is
    // shown after the tick; the action runs all the same.
    void setBeforeAction(std::function<void()> hook) { m_beforeAction = std::move(hook); }

    // One tick. Throws kv::Error at a row it cannot read; the rows after it are
    // not looked at in this tick.
    void tick();

private:
    // The stretch of time a tick covers, in milliseconds since the epoch and, for
    // the common case of no change of UTC offset inside it, as local wall-clock
    // milliseconds too, which spares a time zone lookup per task.
    struct Span
    {
        qint64 from; // exclusive, or inclusive when fromIncluded
        qint64 to;   // inclusive
        bool fromIncluded;
        bool sameOffset;
        qint64 localFrom;
        qint64 localTo;
        QDate firstDay;
        QDate lastDay;
        bool contains(QDate day, QTime time) const;
    };
    Span spanUntil(const QDateTime &now) const;
    template <typename DayMatches>
    static bool occursIn(const Span &span, QTime time, DayMatches dayMatches);
    void fire(int row, TaskAction action);

    TaskTable &m_table;
    TaskActions &m_actions;
    const Clock &m_clock;
    ErrorSink &m_errors;
    DateTimeText m_texts;
    std::optional<QDateTime> m_previous;
    std::function<void()> m_beforeAction;
    QStringList m_deferredErrors;
};

} // namespace kv
