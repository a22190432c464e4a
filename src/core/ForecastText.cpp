// SPDX-License-Identifier: GPL-3.0-or-later
#include "ForecastText.h"

#include "Scheduler.h"

namespace kv {

QString ForecastText::toolTip(const Scheduler &scheduler, int row, const QDateTime &now)
{
    const Scheduler::Forecast forecast = scheduler.forecast(row, now);
    switch (forecast.kind) {
    case Scheduler::Forecast::Next:
        //: The tool tip of a task row: %1 is the date and time of its next
        //: firing, %2 how long until then ("14 h 32 min").
        return tr("Next: %1, in %2")
            .arg(scheduler.texts().dateTime(forecast.next), distance(now.msecsTo(forecast.next)));
    case Scheduler::Forecast::Spent:
        //: The tool tip of a once-only task that has fired.
        return tr("Done");
    case Scheduler::Forecast::Never:
        return tr("Never: the mode is not one of the task modes");
    case Scheduler::Forecast::Unreadable:
        return forecast.message;
    }
    return {};
}

QString ForecastText::distance(qint64 ms)
{
    const qint64 s = std::max<qint64>(ms, 0) / 1000;
    //: Durations in the row tool tip: seconds; minutes; hours and minutes; days
    //: and hours.
    if (s < 60)
        return tr("%1 s").arg(s);
    if (s < 3600)
        return tr("%1 min").arg(s / 60);
    if (s < 86400)
        return tr("%1 h %2 min").arg(s / 3600).arg(s % 3600 / 60);
    return tr("%1 d %2 h").arg(s / 86400).arg(s % 86400 / 3600);
}

} // namespace kv
