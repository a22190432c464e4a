// SPDX-License-Identifier: GPL-3.0-or-later
// Runs in the Europe/Berlin time zone (set by CTest), which has daylight saving.
#include "Fakes.h"
#include "Scheduler.h"
#include "TaskActions.h"
#include "TaskBase.h"
#include "TaskTable.h"
#include "WakeUpTimer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using kv::TaskTable;

namespace {

const QDate kMonday(2026, 12, 7);
const QDate kSpringForward(2026, 3, 29); // 02:00 CET becomes 03:00 CEST
const QDate kFallBack(2026, 10, 25);     // 03:00 CEST becomes 02:00 CET

QDateTime at(QDate day, int h, int m, int s, int ms = 0)
{
    return QDateTime(day, QTime(h, m, s, ms));
}

QDateTime utc(QDate day, int h, int m, int s)
{
    return QDateTime(day, QTime(h, m, s), Qt::UTC).toLocalTime();
}

// A clock that starts at a set reading and then runs with real time.
class RunningClock : public kv::Clock
{
public:
    explicit RunningClock(QDateTime start) : m_start(std::move(start)) { m_elapsed.start(); }
    QDateTime now() const override { return m_start.addMSecs(m_elapsed.elapsed()); }

private:
    QDateTime m_start;
    QElapsedTimer m_elapsed;
};

template <typename ClockType> struct Rig
{
    explicit Rig(QDateTime start) : clock(std::move(start)) {}
    TaskTable table;
    ClockType clock;
    kv::RecordingSystemActions system;
    kv::RecordingErrorSink errors;
    kv::TaskActions actions{table, system};
    kv::Scheduler scheduler{table, actions, clock, errors, kv::DateTimeText(QLocale("de_DE"))};

    int add(const QString &time, const QString &mode, const QString &fired = QStringLiteral("0"),
            const QString &starts = QStringLiteral("0"))
    {
        const int row = table.appendTask(time, QStringLiteral("a"), QStringLiteral("/f/"), mode);
        table.setCell(TaskTable::FiredColumn, row, fired);
        table.setCell(TaskTable::StartsColumn, row, starts);
        return row;
    }
};

using FakeRig = Rig<kv::FakeClock>;

// Ticks every five seconds of real time from `from` to `to`, whatever the local
// clock does in between; returns the local readings at which something fired.
QList<QDateTime> tickThrough(FakeRig &rig, const QDateTime &from, const QDateTime &to)
{
    QList<QDateTime> firedAt;
    for (QDateTime t = from; t <= to; t = t.addSecs(5)) {
        const qsizetype before = rig.system.calls.size();
        rig.clock.setNow(t);
        rig.scheduler.Timer1Timer();
        if (rig.system.calls.size() > before)
            firedAt << t;
    }
    return firedAt;
}

} // namespace

class TestWakeUp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void nextOccurrence_data();
    void nextOccurrence();
    void nextOccurrenceSkipsUnreadableRows();
    void skippedHourFiresOnceAtTheJump();
    void repeatedHourFiresOnceTheFirstTime();
    void clockSetBackDoesNotFireAgain();
    void clockSetForwardFiresNothingLongPast();
    void rearmsAfterEveryChange();
    void firesOnTheSecond();
};

void TestWakeUp::initTestCase()
{
    QCOMPARE(at(kSpringForward, 12, 0, 0).offsetFromUtc(), 7200); // the zone is in force
}

void TestWakeUp::nextOccurrence_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("fired");
    QTest::addColumn<QString>("starts");
    QTest::addColumn<QDateTime>("next"); // invalid: none
    const QDateTime morning = at(kMonday, 8, 0, 0);
    const QString today = QStringLiteral("07.12.2026 ");
    QTest::newRow("once, later today") << morning << today + "10:00:00"
                                       << "Simple"
                                       << "0"
                                       << "0" << at(kMonday, 10, 0, 0);
    QTest::newRow("once, next week") << morning << "14.12.2026 10:00:00"
                                     << "Simple"
                                     << "0"
                                     << "0" << at(kMonday.addDays(7), 10, 0, 0);
    QTest::newRow("once, missed yesterday") << morning << "06.12.2026 7:00:00"
                                            << "Restart(Simple)"
                                            << "0"
                                            << "0" << at(kMonday.addDays(1), 7, 0, 0);
    QTest::newRow("once, spent by mark") << morning << today + "10:00:00"
                                         << "Simple"
                                         << "1"
                                         << "0" << QDateTime();
    QTest::newRow("once, spent by count") << morning << today + "10:00:00"
                                          << "Simple"
                                          << "0"
                                          << "1" << QDateTime();
    QTest::newRow("weekday, later today") << morning << today + "9:00:00"
                                          << "Monday"
                                          << "1"
                                          << "5" << at(kMonday, 9, 0, 0);
    QTest::newRow("weekday, passed today") << morning << today + "7:59:59"
                                           << "Stand By(Monday)"
                                           << "0"
                                           << "0" << at(kMonday.addDays(7), 7, 59, 59);
    QTest::newRow("weekday, across the week end")
        << at(kMonday.addDays(5), 23, 0, 0) << today + "0:30:00"
        << "Tuesday"
        << "0"
        << "0" << at(kMonday.addDays(8), 0, 30, 0);
    QTest::newRow("every day, across midnight") << at(kMonday, 23, 59, 59, 500) << today + "0:00:00"
                                                << "Every day"
                                                << "0"
                                                << "0" << at(kMonday.addDays(1), 0, 0, 0);
    QTest::newRow("every day, this very second") << at(kMonday, 10, 0, 0) << today + "10:00:00"
                                                 << "Every day"
                                                 << "0"
                                                 << "0" << at(kMonday.addDays(1), 10, 0, 0);
    QTest::newRow("unknown mode") << morning << today + "10:00:00"
                                  << "Someday"
                                  << "0"
                                  << "0" << QDateTime();
    QTest::newRow("skipped hour: at the jump")
        << at(kSpringForward, 1, 0, 0) << "29.03.2026 2:30:00"
        << "Simple"
        << "0"
        << "0" << utc(kSpringForward, 1, 0, 0);
    QTest::newRow("repeated hour: the first time") << at(kFallBack, 1, 0, 0) << "25.10.2026 2:30:00"
                                                   << "Every day"
                                                   << "0"
                                                   << "0" << utc(kFallBack, 0, 30, 0);
    QTest::newRow("repeated hour: not the second time")
        << utc(kFallBack, 0, 40, 0) << "25.10.2026 2:30:00"
        << "Every day"
        << "0"
        << "0" << at(kFallBack.addDays(1), 2, 30, 0);
}

void TestWakeUp::nextOccurrence()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, time);
    QFETCH(QString, mode);
    QFETCH(QString, fired);
    QFETCH(QString, starts);
    QFETCH(QDateTime, next);
    FakeRig rig(now);
    rig.add(time, mode, fired, starts);
    const auto found = rig.scheduler.nextOccurrence(now);
    QCOMPARE(found.has_value(), next.isValid());
    if (found)
        QCOMPARE(found->toMSecsSinceEpoch(), next.toMSecsSinceEpoch());
}

void TestWakeUp::nextOccurrenceSkipsUnreadableRows()
{
    FakeRig rig(at(kMonday, 8, 0, 0));
    rig.add(QStringLiteral("07.12.2026 9:00:00"), QStringLiteral("Every day"), QString());
    rig.add(QStringLiteral("07.12.2026 25:00:00"), QStringLiteral("Every day"));
    rig.add(QStringLiteral("07.12.2026 11:00:00"), QStringLiteral("Every day"));
    rig.add(QStringLiteral("07.12.2026 10:00:00"), QStringLiteral("Monday"));
    QCOMPARE(rig.scheduler.nextOccurrence(at(kMonday, 8, 0, 0)), at(kMonday, 10, 0, 0));
}

void TestWakeUp::skippedHourFiresOnceAtTheJump()
{
    FakeRig rig(at(kSpringForward, 1, 0, 0));
    rig.add(QStringLiteral("29.03.2026 2:30:00"), QStringLiteral("Every day"));
    rig.add(QStringLiteral("29.03.2026 2:00:00"), QStringLiteral("Simple"));
    const auto firedAt =
        tickThrough(rig, at(kSpringForward, 1, 59, 50), utc(kSpringForward, 1, 30, 0));
    QCOMPARE(rig.system.calls.size(), 2);
    QCOMPARE(firedAt.size(), 1); // both at the first tick after the jump
    QCOMPARE(firedAt.first().time(), QTime(3, 0, 0));
}

void TestWakeUp::repeatedHourFiresOnceTheFirstTime()
{
    FakeRig rig(at(kFallBack, 1, 0, 0));
    rig.add(QStringLiteral("25.10.2026 2:30:00"), QStringLiteral("Every day"));
    rig.add(QStringLiteral("25.10.2026 2:59:59"), QStringLiteral("Sunday"));
    rig.add(QStringLiteral("25.10.2026 2:00:00"), QStringLiteral("Simple"));
    const auto firedAt = tickThrough(rig, at(kFallBack, 1, 50, 0), utc(kFallBack, 2, 10, 0));
    QCOMPARE(rig.system.calls.size(), 3);
    // All in the first pass through the hour: by the first tick after summer time ends.
    for (const QDateTime &t : firedAt)
        QVERIFY2(t <= utc(kFallBack, 1, 0, 0), qPrintable(t.toString(Qt::ISODate)));
}

void TestWakeUp::clockSetBackDoesNotFireAgain()
{
    FakeRig rig(at(kMonday, 9, 0, 0));
    rig.add(QStringLiteral("07.12.2026 10:00:00"), QStringLiteral("Every day"));
    rig.add(QStringLiteral("07.12.2026 10:00:02"), QStringLiteral("Every day"));
    tickThrough(rig, at(kMonday, 9, 59, 55), at(kMonday, 10, 0, 5));
    QCOMPARE(rig.system.calls.size(), 2);
    // Set back by a few seconds (the tick still sees a short step) and by a minute.
    tickThrough(rig, at(kMonday, 9, 59, 59), at(kMonday, 10, 0, 9));
    tickThrough(rig, at(kMonday, 9, 59, 2), at(kMonday, 10, 1, 0));
    QCOMPARE(rig.system.calls.size(), 2);
    QVERIFY(rig.scheduler.nextOccurrence(at(kMonday, 9, 59, 2)) ==
            at(kMonday.addDays(1), 10, 0, 0));
    // The next day they fire as ever.
    tickThrough(rig, at(kMonday.addDays(1), 9, 59, 55), at(kMonday.addDays(1), 10, 0, 5));
    QCOMPARE(rig.system.calls.size(), 4);
}

void TestWakeUp::clockSetForwardFiresNothingLongPast()
{
    FakeRig rig(at(kMonday, 9, 0, 0));
    rig.add(QStringLiteral("07.12.2026 10:00:00"), QStringLiteral("Every day"));
    rig.add(QStringLiteral("07.12.2026 12:00:00"), QStringLiteral("Every day"));
    tickThrough(rig, at(kMonday, 9, 59, 0), at(kMonday, 9, 59, 55));
    // Set forward over the first task, or a long sleep: the first tick looks back
    // only a few seconds.
    tickThrough(rig, at(kMonday, 11, 59, 57), at(kMonday, 12, 0, 7));
    QCOMPARE(rig.system.calls.size(), 1);
    QCOMPARE(rig.table.cell(TaskTable::StartsColumn, 1), QStringLiteral("0"));
    QCOMPARE(rig.table.cell(TaskTable::StartsColumn, 2), QStringLiteral("1"));
}

void TestWakeUp::rearmsAfterEveryChange()
{
    FakeRig rig(at(kMonday, 8, 0, 0));
    kv::WakeUpTimer wakeUp(rig.scheduler, rig.clock);
    wakeUp.watch(&rig.table);
    wakeUp.rearm(); // at start
    QVERIFY(!wakeUp.armedFor());

    const QDateTime ten = at(kMonday, 10, 0, 0);
    rig.add(QStringLiteral("07.12.2026 10:00:00"), QStringLiteral("Simple")); // append
    QTRY_COMPARE(wakeUp.armedFor(), std::optional<QDateTime>(ten));
    QVERIFY(qAbs(wakeUp.remainingMs() - 2 * 3600 * 1000) < 1000);

    rig.table.changeFileTask(1, QStringLiteral("07.12.2026 9:00:00"), QStringLiteral("a"),
                             QStringLiteral("/f/"), QStringLiteral("Simple")); // change
    QTRY_COMPARE(wakeUp.armedFor(), std::optional<QDateTime>(at(kMonday, 9, 0, 0)));

    rig.add(QStringLiteral("07.12.2026 8:30:00"), QStringLiteral("Every day"));
    QTRY_COMPARE(wakeUp.armedFor(), std::optional<QDateTime>(at(kMonday, 8, 30, 0)));
    rig.table.DeleteSelectedTask(); // delete
    QTRY_COMPARE(wakeUp.armedFor(), std::optional<QDateTime>(at(kMonday, 9, 0, 0)));

    rig.clock.setNow(at(kMonday, 9, 0, 1)); // firing
    rig.scheduler.Timer1Timer();
    QCOMPARE(rig.system.calls.size(), 1);
    QTRY_VERIFY(!wakeUp.armedFor());

    kv::ScriptedBaseDialogs dialogs;
    kv::TaskBase base(rig.table, rig.errors, dialogs, QDir::tempPath());
    TaskTable other;
    other.appendTask(QStringLiteral("07.12.2026 11:00:00"), QStringLiteral("b"),
                     QStringLiteral("/"), QStringLiteral("Every day"));
    const QString path = QDir::temp().filePath(QStringLiteral("kv-wakeup-test.log"));
    kv::TaskBase::writeBase(other, path);
    dialogs.openPath = path;
    base.Openbase1Click(); // open base
    QFile::remove(path);
    QTRY_COMPARE(wakeUp.armedFor(), std::optional<QDateTime>(at(kMonday, 11, 0, 0)));
    base.Newbase1Click(); // new base
    QTRY_VERIFY(!wakeUp.armedFor());
}

void TestWakeUp::firesOnTheSecond()
{
    // On a clock that runs: the task fires once, when its second comes.
    const QDateTime start = at(kMonday, 9, 59, 59, 700);
    Rig<RunningClock> rig(start);
    rig.add(QStringLiteral("07.12.2026 10:00:00"), QStringLiteral("Every day"));
    kv::WakeUpTimer wakeUp(rig.scheduler, rig.clock);
    wakeUp.watch(&rig.table);
    rig.scheduler.Timer1Timer();
    wakeUp.rearm();
    QSignalSpy woke(&wakeUp, &kv::WakeUpTimer::woke);
    // The clock's reading when the action ran.
    QDateTime firedAt;
    QObject::connect(&wakeUp, &kv::WakeUpTimer::woke, [&] {
        if (!rig.system.calls.isEmpty() && !firedAt.isValid())
            firedAt = rig.clock.now();
    });
    QTRY_COMPARE_WITH_TIMEOUT(rig.system.calls.size(), 1, 5000);
    QVERIFY2(firedAt >= at(kMonday, 10, 0, 0), qPrintable(firedAt.toString("HH:mm:ss.zzz")));
    QVERIFY2(firedAt < at(kMonday, 10, 0, 1), qPrintable(firedAt.toString("HH:mm:ss.zzz")));
    QCOMPARE(woke.size(), 1);
    QCOMPARE(wakeUp.armedFor(), std::optional<QDateTime>(at(kMonday.addDays(1), 10, 0, 0)));
}

QTEST_GUILESS_MAIN(TestWakeUp)
#include "tst_wakeup.moc"
