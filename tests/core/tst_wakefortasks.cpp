// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fakes.h"
#include "Scheduler.h"
#include "TaskActions.h"
#include "TaskTable.h"
#include "WakeForTasks.h"
#include "WakeUpTimer.h"

#include <QTest>

namespace {

const QDate kMonday(2026, 12, 7);

QDateTime at(QDate day, int h, int m, int s)
{
    return QDateTime(day, QTime(h, m, s));
}

// The scheduler, its timer and the wake for tasks, wired as the program wires them.
struct Rig
{
    Rig()
    {
        wakeUp.watch(&table);
        QObject::connect(&wakeUp, &kv::WakeUpTimer::rearmed, &wake, &kv::WakeForTasks::update);
        scheduler.setBeforeActions([this] { wake.tasksFired(); });
        wake.setEnabled(true);
    }
    void add(const QString &time, const QString &mode)
    {
        table.appendTask(time, QStringLiteral("alarm.ogg"), QStringLiteral("/f/"), mode);
    }
    // A tick at `now`, as the five-second timer runs it.
    void tickAt(const QDateTime &now)
    {
        clock.setNow(now);
        scheduler.Timer1Timer();
        wakeUp.rearm();
    }
    std::optional<QDateTime> lastWake() const
    {
        return alarm.times.isEmpty() ? std::nullopt : alarm.times.constLast();
    }

    kv::FakeClock clock{at(kMonday, 8, 0, 0)};
    kv::TaskTable table;
    kv::RecordingSystemActions system;
    kv::RecordingErrorSink errors;
    kv::TaskActions actions{table, system};
    kv::Scheduler scheduler{table, actions, clock, errors, kv::DateTimeText(QLocale("de_DE"))};
    kv::WakeUpTimer wakeUp{scheduler, clock};
    kv::RecordingWakeAlarm alarm;
    kv::RecordingSleepInhibitor inhibitor;
    kv::WakeForTasks wake{scheduler, clock, alarm, inhibitor};
};

using Wake = std::optional<QDateTime>;

} // namespace

class TestWakeForTasks : public QObject
{
    Q_OBJECT

private slots:
    void followsEveryChange();
    void heldAwakeFromTheWakeUntilTheTaskFires();
    void holdEndsWhenTheTaskMoves();
};

void TestWakeForTasks::followsEveryChange()
{
    Rig rig;
    QVERIFY(!rig.lastWake());
    const QDate tuesday = kMonday.addDays(1);

    // Table changes; a few seconds early for a file, a minute for a power event.
    rig.add(QStringLiteral("07.12.2026 10:00:00"), QStringLiteral("Every day"));
    QTRY_COMPARE(rig.lastWake(), Wake(at(kMonday, 9, 59, 50)));
    rig.add(QStringLiteral("07.12.2026 9:00:00"), QStringLiteral("Stand By(Every day)"));
    QTRY_COMPARE(rig.lastWake(), Wake(at(kMonday, 8, 59, 0)));

    // A firing moves it to the next task.
    rig.tickAt(at(kMonday, 9, 0, 0));
    QCOMPARE(rig.system.calls, QStringList{"standBy"});
    QCOMPARE(rig.lastWake(), Wake(at(kMonday, 9, 59, 50)));

    // A postponement.
    const auto next = rig.scheduler.nextOccurrences(rig.clock.now());
    QCOMPARE(next.size(), 2);
    QVERIFY(rig.scheduler.postpone(next.at(0), at(kMonday, 10, 30, 0)));
    rig.wakeUp.rearm();
    QCOMPARE(rig.lastWake(), Wake(at(kMonday, 10, 29, 50)));

    // A step of the clock, and a resume after a long sleep.
    rig.clock.setNow(at(kMonday, 11, 0, 0));
    rig.wakeUp.rearm();
    QCOMPARE(rig.lastWake(), Wake(at(tuesday, 8, 59, 0)));
    rig.clock.setNow(at(tuesday, 9, 30, 0));
    rig.wakeUp.rearm();
    QCOMPARE(rig.lastWake(), Wake(at(tuesday, 9, 59, 50)));

    // Off: disarmed, and no longer set.
    rig.wake.setEnabled(false);
    QCOMPARE(rig.lastWake(), Wake());
    const qsizetype sent = rig.alarm.times.size();
    rig.add(QStringLiteral("07.12.2026 9:45:00"), QStringLiteral("Every day"));
    QTest::qWait(10);
    QCOMPARE(rig.alarm.times.size(), sent);
}

void TestWakeForTasks::heldAwakeFromTheWakeUntilTheTaskFires()
{
    Rig rig;
    rig.add(QStringLiteral("07.12.2026 7:00:00"), QStringLiteral("Every day"));
    rig.wakeUp.rearm();
    const QDate tuesday = kMonday.addDays(1);
    QCOMPARE(rig.lastWake(), Wake(at(tuesday, 6, 59, 50)));

    // The user wakes the machine in the night: nothing is due.
    rig.clock.setNow(at(tuesday, 3, 0, 0));
    rig.wake.resumed();
    QVERIFY(rig.inhibitor.calls.isEmpty());

    // The alarm wakes it, a little late.
    rig.clock.setNow(at(tuesday, 6, 59, 52));
    rig.wakeUp.rearm();
    rig.wake.resumed();
    QCOMPARE(rig.inhibitor.calls, QStringList{"hold Kronvale: a task is due"});
    rig.tickAt(at(tuesday, 7, 0, 0));
    QCOMPARE(rig.system.calls, QStringList{"open /f/alarm.ogg"});
    QCOMPARE(rig.inhibitor.calls, (QStringList{"hold Kronvale: a task is due", "release"}));
    QVERIFY(!rig.wake.isHolding());
}

void TestWakeForTasks::holdEndsWhenTheTaskMoves()
{
    Rig rig;
    rig.add(QStringLiteral("07.12.2026 9:00:00"), QStringLiteral("Shut Down(Every day)"));
    rig.wakeUp.rearm();
    QCOMPARE(rig.lastWake(), Wake(at(kMonday, 8, 59, 0)));
    rig.clock.setNow(at(kMonday, 8, 59, 1));
    rig.wakeUp.rearm();
    rig.wake.resumed();
    QVERIFY(rig.wake.isHolding());

    // Postponed in its warning: the machine may sleep until then.
    QVERIFY(rig.scheduler.postpone(rig.scheduler.nextOccurrences(rig.clock.now()).at(0),
                                   at(kMonday, 9, 15, 0)));
    rig.wakeUp.rearm();
    QVERIFY(!rig.wake.isHolding());
    QCOMPARE(rig.inhibitor.calls.constLast(), QStringLiteral("release"));
    QCOMPARE(rig.lastWake(), Wake(at(kMonday, 9, 14, 0)));
    QVERIFY(rig.system.calls.isEmpty());
}

QTEST_GUILESS_MAIN(TestWakeForTasks)
#include "tst_wakefortasks.moc"
