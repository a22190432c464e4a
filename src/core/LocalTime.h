// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QTime>

namespace kv {

// Local wall-clock readings and the instants they stand for.
namespace LocalTime {

// A reading as milliseconds since 1970-01-01 00:00 on the local clock; minus the
// UTC offset in force, the instant that shows it.
inline qint64 readingMSecs(QDate day, QTime time)
{
    constexpr qint64 kEpochDay = 2440588; // 1970-01-01
    return (day.toJulianDay() - kEpochDay) * 86400000 + time.msecsSinceStartOfDay();
}

// The instant (milliseconds since the epoch) at which the local clock first shows
// the reading: in an hour that repeats when daylight saving ends, the first time;
// for a reading skipped when daylight saving starts, the instant the clock jumps
// past it.
qint64 firstInstant(QDate day, QTime time);

} // namespace LocalTime
} // namespace kv
