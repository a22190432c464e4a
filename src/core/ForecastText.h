// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

namespace kv {

class Scheduler;

// What the tool tip over a task row says of when it runs next.
class ForecastText
{
    Q_DECLARE_TR_FUNCTIONS(kv::ForecastText)

public:
    // "Next: 09.12.2026 23:00:00, in 14 h 32 min", "Done", or why the row
    // cannot be read.
    static QString toolTip(const Scheduler &scheduler, int row, const QDateTime &now);
    // "42 s", "5 min", "14 h 32 min", "3 d 2 h": whole units, rounded down.
    static QString distance(qint64 ms);
};

} // namespace kv
