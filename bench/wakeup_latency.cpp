// SPDX-License-Identifier: GPL-3.0-or-later
// Fires tasks on the real clock, one every two to three seconds, and measures how
// late each fires; then replays the five-second ticks of the same run through a
// plain 4.32-second window rule (no wake-up timer, no span) as the baseline.
//
//   wakeup_latency [tasks]      default 20; takes about 2.5 s a task
#include "Fakes.h"
#include "Scheduler.h"
#include "SystemClock.h"
#include "TaskActions.h"
#include "TaskTable.h"
#include "WakeUpTimer.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

// Records when each file was asked to open.
class TimedActions : public kv::RecordingSystemActions
{
public:
    void openFile(const QString &fullName, const Done &) override
    {
        opened.append({fullName, QDateTime::currentDateTime()});
    }
    QList<QPair<QString, QDateTime>> opened;
};

struct Stats
{
    qint64 median = 0, p99 = 0, max = 0;
};

Stats stats(QList<qint64> ms)
{
    if (ms.isEmpty())
        return {};
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q) { return ms.at(qMin(ms.size() - 1, qsizetype(q * ms.size()))); };
    return {at(0.5), at(0.99), ms.last()};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 20;

    kv::TaskTable table;
    kv::SystemClock clock;
    TimedActions system;
    kv::RecordingErrorSink errors;
    kv::TaskActions actions(table, system);
    const kv::DateTimeText texts;
    kv::Scheduler scheduler(table, actions, clock, errors, texts);
    kv::WakeUpTimer wakeUp(scheduler, clock);
    wakeUp.watch(&table);

    // Set seconds: from three seconds ahead, two or three apart at random, so they
    // fall at every point of the five-second tick cycle.
    QDateTime next = clock.now().addSecs(3);
    next.setTime(QTime(next.time().hour(), next.time().minute(), next.time().second()));
    QRandomGenerator random(20261208);
    QList<QDateTime> setAt;
    for (int i = 0; i < count; ++i, next = next.addSecs(2 + random.bounded(2))) {
        setAt << next;
        table.appendTask(texts.dateTime(setAt.last()), QStringLiteral("task%1").arg(i),
                         QStringLiteral("/"), QStringLiteral("Every day"));
    }

    QList<QDateTime> ticks;
    QTimer timer1;
    timer1.setInterval(5000);
    QObject::connect(&timer1, &QTimer::timeout, [&] {
        ticks << clock.now();
        scheduler.Timer1Timer();
        wakeUp.rearm();
    });
    timer1.start();
    scheduler.Timer1Timer();
    wakeUp.rearm();
    QTimer::singleShot(clock.now().msecsTo(setAt.last()) + 6000, &app, &QCoreApplication::quit);
    app.exec();

    int fired = 0, missed = 0, twice = 0;
    QList<qint64> latency;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("/task%1").arg(i);
        QList<QDateTime> when;
        for (const auto &[file, at] : system.opened)
            if (file == name)
                when << at;
        if (when.isEmpty()) {
            ++missed;
            continue;
        }
        ++fired;
        twice += int(when.size()) - 1;
        latency << setAt.at(i).msecsTo(when.first());
    }
    int baseMissed = 0;
    QList<qint64> baseLatency;
    for (const QDateTime &set : setAt) {
        const auto hit = std::find_if(ticks.cbegin(), ticks.cend(), [&](const QDateTime &t) {
            const qint64 late = set.msecsTo(t);
            return late >= 0 && late <= kv::Scheduler::kWindowMs;
        });
        if (hit == ticks.cend())
            ++baseMissed;
        else
            baseLatency << set.msecsTo(*hit);
    }

    const Stats ours = stats(latency);
    const Stats base = stats(baseLatency);
    std::printf("tasks %d\n", count);
    std::printf("wake-up timer: fired %d, missed %d, fired twice %d; latency ms median %lld, "
                "p99 %lld, max %lld\n",
                fired, missed, twice, ours.median, ours.p99, ours.max);
    std::printf("4.32 s window on the five-second ticks: fired %d, missed %d; latency ms median "
                "%lld, p99 %lld, max %lld\n",
                int(baseLatency.size()), baseMissed, base.median, base.p99, base.max);
    return missed == 0 && twice == 0 && errors.shown.isEmpty() ? 0 : 1;
}
