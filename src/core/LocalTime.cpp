// SPDX-License-Identifier: GPL-3.0-or-later
#include "LocalTime.h"

#include <QDateTime>

namespace kv::LocalTime {

namespace {

constexpr qint64 kHourMs = 3600 * 1000;

int offsetAt(qint64 instant)
{
    return QDateTime::fromMSecsSinceEpoch(instant).offsetFromUtc();
}

} // namespace

qint64 firstInstant(QDate day, QTime time)
{
    const QDateTime local(day, time);
    const qint64 reading = readingMSecs(day, time);
    if (!local.isValid()) {
        // Skipped: between the instants that the offsets before and after the jump
        // give, find the first one whose offset is already the later one.
        const int before = QDateTime(day.addDays(-1), time).offsetFromUtc();
        const int after = QDateTime(day.addDays(1), time).offsetFromUtc();
        qint64 lo = reading - qint64(after) * 1000;
        qint64 hi = reading - qint64(before) * 1000;
        if (hi < lo)
            std::swap(lo, hi);
        while (hi - lo > 1) {
            const qint64 mid = lo + (hi - lo) / 2;
            (offsetAt(mid) == after ? hi : lo) = mid;
        }
        return hi;
    }
    // Where the reading repeats, Qt names the later instant; an earlier one has
    // the larger offset that was in force a few hours before.
    const qint64 named = local.toMSecsSinceEpoch();
    const int offset = local.offsetFromUtc();
    const int earlierOffset = offsetAt(named - 3 * kHourMs);
    if (earlierOffset > offset) {
        const qint64 earlier = reading - qint64(earlierOffset) * 1000;
        if (offsetAt(earlier) == earlierOffset)
            return earlier;
    }
    return named;
}

} // namespace kv::LocalTime
