// SPDX-License-Identifier: GPL-3.0-or-later
// The cost of one scheduler tick over a full task list.
#include "Fakes.h"
#include "Scheduler.h"
#include "TaskActions.h"
#include "TaskTable.h"

#include <QTest>

class BenchTick : public QObject
{
    Q_OBJECT

private slots:
    void tickFullTable_data();
    void tickFullTable();
};

void BenchTick::tickFullTable_data()
{
    QTest::addColumn<bool>("due");
    QTest::newRow("nothing due") << false;
    QTest::newRow("every task due") << true;
}

void BenchTick::tickFullTable()
{
    QFETCH(bool, due);
    kv::TaskTable table;
    kv::FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(12, 0)));
    kv::RecordingSystemActions system;
    kv::RecordingErrorSink errors;
    kv::TaskActions actions(table, system);
    const kv::DateTimeText texts{QLocale(QStringLiteral("de_DE"))};
    kv::Scheduler scheduler(table, actions, clock, errors, texts);

    const QStringList modes =
        kv::Modes::fileModes() + QStringList{"Shut Down(Friday)", "Stand Off(Every day)"};
    for (int i = 0; i < kv::TaskTable::kMaxTasks; ++i) {
        // Spread over the day, or all at the moment the ticks reach.
        const QTime time = due ? QTime(12, 0, 3) : QTime(0, 0).addSecs(i * 337);
        const QString mode = due ? QStringLiteral("Every day") : modes.at(i % modes.size());
        table.appendTask(texts.date(QDate(2026, 12, 7)) + u' ' + kv::DateTimeText::time(time),
                         QStringLiteral("file%1.txt").arg(i), QStringLiteral("/tmp/"), mode);
    }
    scheduler.tick();
    QBENCHMARK
    {
        // Each round goes back before the set time, so "due" fires every task.
        clock.setNow(QDateTime(QDate(2026, 12, 7), QTime(12, 0)));
        scheduler.tick();
        clock.advance(5000);
        scheduler.tick();
    }
    QVERIFY(errors.shown.isEmpty());
    QVERIFY(due == !system.calls.isEmpty());
}

QTEST_GUILESS_MAIN(BenchTick)
#include "bench_tick.moc"
