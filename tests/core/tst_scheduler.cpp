// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fakes.h"
#include "Scheduler.h"
#include "TaskActions.h"
#include "TaskTable.h"

#include <QRandomGenerator>
#include <QTest>

using kv::TaskTable;

namespace {

const QDate kMonday(2026, 12, 7);

QDateTime at(QDate day, int h, int m, int s, int ms = 0)
{
    return QDateTime(day, QTime(h, m, s, ms));
}

// A scheduler on a fake clock, with recorded actions and errors, reading German
// date texts.
struct Rig
{
    TaskTable table;
    kv::FakeClock clock;
    kv::RecordingSystemActions system;
    kv::RecordingErrorSink errors;
    kv::TaskActions actions{table, system};
    kv::Scheduler scheduler{table, actions, clock, errors, kv::DateTimeText(QLocale("de_DE"))};

    int add(const QString &time, const QString &mode, const QString &name = QStringLiteral("a"),
            const QString &fired = QStringLiteral("0"), const QString &starts = QStringLiteral("0"))
    {
        const int row = table.appendTask(time, name, QStringLiteral("/f/"), mode);
        table.setCell(TaskTable::FiredColumn, row, fired);
        table.setCell(TaskTable::StartsColumn, row, starts);
        return row;
    }
    void tickAt(const QDateTime &when)
    {
        clock.setNow(when);
        scheduler.Timer1Timer();
    }
    // Ticks every five seconds from `from` up to and including `to`.
    void tickEvery5s(const QDateTime &from, const QDateTime &to)
    {
        for (QDateTime t = from; t <= to; t = t.addSecs(5))
            tickAt(t);
    }
    QString cell(int col, int row) const { return table.cell(col, row); }
};

} // namespace

class TestScheduler : public QObject
{
    Q_OBJECT

private slots:
    void onceOnlyFiresOnceAndIsSpent();
    void onceOnlyByDate_data();
    void onceOnlyByDate();
    void firstTickLooksBackOnlyTheWindow_data();
    void firstTickLooksBackOnlyTheWindow();
    void jitteredTicksMissNothingAndFireNothingTwice();
    void spanAcrossMidnightCoversBothDays_data();
    void spanAcrossMidnightCoversBothDays();
    void longGapOrClockBackLooksBackOnlyTheWindow_data();
    void longGapOrClockBackLooksBackOnlyTheWindow();
    void modesChooseTheAction_data();
    void modesChooseTheAction();
    void weekdayTaskIgnoresLocaleLanguage();
    void identicalRowsBothFireInOrder();
    void burstIsMarkedAndSavedOnceBeforeAnyAction();
    void clockSetBackAfterRowsMovedFiresNothingAgain();
    void badCellStopsTheTick_data();
    void badCellStopsTheTick();
    void editedFiredOnceOnlyStaysSpent();
    void recurringTaskFiresEveryMatchingDay();
    void reportLineIsOneShortLine_data();
    void reportLineIsOneShortLine();
};

void TestScheduler::onceOnlyFiresOnceAndIsSpent()
{
    Rig rig;
    rig.add(QStringLiteral("07.12.2026 9:00:00"), QStringLiteral("Every day"), QStringLiteral("x"));
    const int row = rig.add(QStringLiteral("07.12.2026 10:00:00"), QStringLiteral("Simple"));
    rig.table.setCurrentRow(1);
    rig.tickEvery5s(at(kMonday, 9, 59, 57, 300), at(kMonday, 10, 0, 2, 300));
    QCOMPARE(rig.system.calls, QStringList{"open /f/a"});
    QCOMPARE(rig.cell(TaskTable::StartsColumn, row), QStringLiteral("1"));
    QCOMPARE(rig.cell(TaskTable::FiredColumn, row), QStringLiteral("1"));
    QCOMPARE(rig.table.currentRow(), row);

    rig.tickEvery5s(at(kMonday, 10, 0, 7, 300), at(kMonday, 10, 1, 0));
    rig.tickEvery5s(at(kMonday.addDays(1), 9, 59, 58), at(kMonday.addDays(1), 10, 0, 8));
    QCOMPARE(rig.system.calls.size(), 1);
    QCOMPARE(rig.cell(TaskTable::StartsColumn, row), QStringLiteral("1"));
    QCOMPARE(rig.errors.shown, QStringList());
}

void TestScheduler::onceOnlyByDate_data()
{
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("fired");
    QTest::addColumn<QString>("starts");
    QTest::addColumn<bool>("fires");
    QTest::newRow("today") << "07.12.2026 10:00:00"
                           << "0"
                           << "0" << true;
    QTest::newRow("yesterday, never fired") << "06.12.2026 10:00:00"
                                            << "0"
                                            << "0" << true;
    QTest::newRow("last year, never fired") << "07.12.2025 10:00:00"
                                            << "0"
                                            << "0" << true;
    QTest::newRow("tomorrow") << "08.12.2026 10:00:00"
                              << "0"
                              << "0" << false;
    QTest::newRow("fired mark set") << "07.12.2026 10:00:00"
                                    << "1"
                                    << "0" << false;
    QTest::newRow("fired mark 257 (low byte 1)") << "07.12.2026 10:00:00"
                                                 << "257"
                                                 << "0" << false;
    QTest::newRow("fired mark 256 (low byte 0)") << "07.12.2026 10:00:00"
                                                 << "256"
                                                 << "0" << true;
    QTest::newRow("started before") << "07.12.2026 10:00:00"
                                    << "0"
                                    << "1" << false;
    QTest::newRow("start count with blank") << "07.12.2026 10:00:00"
                                            << "0"
                                            << " 0" << false;
}

void TestScheduler::onceOnlyByDate()
{
    QFETCH(QString, time);
    QFETCH(QString, fired);
    QFETCH(QString, starts);
    Rig rig;
    rig.add(time, QStringLiteral("Simple"), QStringLiteral("a"), fired, starts);
    rig.tickEvery5s(at(kMonday, 9, 59, 56), at(kMonday, 10, 0, 6));
    QTEST(rig.system.calls.size() == 1, "fires");
    QCOMPARE(rig.errors.shown, QStringList());
}

void TestScheduler::firstTickLooksBackOnlyTheWindow_data()
{
    QTest::addColumn<QDateTime>("first");
    QTest::addColumn<bool>("fires");
    QTest::newRow("at the set second") << at(kMonday, 10, 0, 0) << true;
    QTest::newRow("window end, included") << at(kMonday, 10, 0, 4, 320) << true;
    QTest::newRow("just past the window") << at(kMonday, 10, 0, 4, 321) << false;
    QTest::newRow("just before") << at(kMonday, 9, 59, 59, 999) << false;
}

void TestScheduler::firstTickLooksBackOnlyTheWindow()
{
    QFETCH(QDateTime, first);
    Rig rig;
    rig.add(QStringLiteral("01.12.2026 10:00:00"), QStringLiteral("Every day"));
    rig.tickAt(first);
    QTEST(rig.system.calls.size() == 1, "fires");
}

void TestScheduler::jitteredTicksMissNothingAndFireNothingTwice()
{
    // One task on every second for two minutes, ticks nominally five seconds
    // apart but late by up to 1.5 s, and now and then held up for 20 s more.
    Rig rig;
    const int tasks = 120;
    for (int i = 0; i < tasks; ++i)
        rig.add(QStringLiteral("01.12.2026 ") + kv::DateTimeText::time(QTime(10, 0).addSecs(i)),
                i % 2 ? QStringLiteral("Every day") : QStringLiteral("Monday"));
    QRandomGenerator random(20261207);
    QDateTime nominal = at(kMonday, 9, 59, 50);
    const QDateTime end = at(kMonday, 10, 2, 30);
    while (nominal < end) {
        qint64 late = random.bounded(1500);
        if (random.bounded(10) == 0)
            late += 20000;
        rig.tickAt(nominal.addMSecs(late));
        nominal = nominal.addMSecs(5000 + late);
    }
    QCOMPARE(rig.system.calls.size(), tasks);
    for (int r = 1; r <= tasks; ++r)
        QCOMPARE(rig.cell(TaskTable::StartsColumn, r), QStringLiteral("1"));
}

void TestScheduler::spanAcrossMidnightCoversBothDays_data()
{
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("mode");
    QTest::newRow("Monday task, last second") << "07.12.2026 23:59:59"
                                              << "Monday";
    QTest::newRow("Tuesday task, first second") << "07.12.2026 0:00:00"
                                                << "Tuesday";
    QTest::newRow("once-only at midnight") << "08.12.2026 0:00:01"
                                           << "Simple";
    QTest::newRow("every day at midnight") << "01.12.2026 0:00:00"
                                           << "Every day";
}

void TestScheduler::spanAcrossMidnightCoversBothDays()
{
    QFETCH(QString, time);
    QFETCH(QString, mode);
    Rig rig;
    rig.add(time, mode);
    rig.tickEvery5s(at(kMonday, 23, 59, 57), at(kMonday.addDays(1), 0, 0, 12));
    QCOMPARE(rig.system.calls.size(), 1);
}

void TestScheduler::longGapOrClockBackLooksBackOnlyTheWindow_data()
{
    QTest::addColumn<QDateTime>("previous");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("time");
    QTest::addColumn<bool>("fires");
    const QDateTime now = at(kMonday, 10, 5, 0);
    QTest::newRow("sleep, task long past") << at(kMonday, 8, 0, 0) << now << "10:02:00" << false;
    QTest::newRow("sleep, task just past") << at(kMonday, 8, 0, 0) << now << "10:04:57" << true;
    QTest::newRow("61 s gap") << now.addSecs(-61) << now << "10:04:30" << false;
    QTest::newRow("60 s gap") << now.addSecs(-60) << now << "10:04:30" << true;
    QTest::newRow("clock back, within window")
        << at(kMonday, 11, 0, 0) << now << "10:04:58" << true;
    QTest::newRow("clock back, before window")
        << at(kMonday, 11, 0, 0) << now << "10:04:50" << false;
}

void TestScheduler::longGapOrClockBackLooksBackOnlyTheWindow()
{
    QFETCH(QDateTime, previous);
    QFETCH(QDateTime, now);
    QFETCH(QString, time);
    Rig rig;
    rig.add(QStringLiteral("01.12.2026 ") + time, QStringLiteral("Every day"));
    rig.tickAt(previous);
    rig.tickAt(now);
    QTEST(rig.system.calls.size() == 1, "fires");
}

void TestScheduler::modesChooseTheAction_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("calls");
    const QStringList none;
    QTest::newRow("file, once") << "a"
                                << "Simple" << QStringList{"open /f/a"};
    QTest::newRow("file, Monday") << "a"
                                  << "Monday" << QStringList{"open /f/a"};
    QTest::newRow("file, Tuesday") << "a"
                                   << "Tuesday" << none;
    QTest::newRow("file, every day") << "a"
                                     << "Every day" << QStringList{"open /f/a"};
    QTest::newRow("file, lowered weekday") << "a"
                                           << "MONDAY" << QStringList{"open /f/a"};
    QTest::newRow("file, lowered once") << "a"
                                        << "simple" << none;
    QTest::newRow("file, unknown") << "a"
                                   << "Mondays" << none;
    QTest::newRow("shut down, once") << "Shut Down"
                                     << "Shut Down(Simple)" << QStringList{"powerOff"};
    QTest::newRow("shut down, Monday") << "Shut Down"
                                       << "Shut Down(Monday)" << QStringList{"powerOff"};
    QTest::newRow("restart, once") << "Restart"
                                   << "Restart(Simple)" << QStringList{"reboot"};
    QTest::newRow("restart, every day") << "Restart"
                                        << "restart(EVERY DAY)" << QStringList{"reboot"};
    QTest::newRow("stand by, once") << "Stand By"
                                    << "Stand By(Simple)" << QStringList{"standBy"};
    QTest::newRow("stand by, Monday") << "Stand By"
                                      << "Stand By(Monday)" << QStringList{"standBy"};
    QTest::newRow("stand off, once") << "Stand Off"
                                     << "Stand Off(Simple)" << QStringList{"displayOff"};
    QTest::newRow("stand off, Sunday") << "Stand Off"
                                       << "Stand Off(Sunday)" << none;
    QTest::newRow("blank inside") << "Stand Off"
                                  << "Stand Off (Monday)" << none;
}

void TestScheduler::modesChooseTheAction()
{
    QFETCH(QString, name);
    QFETCH(QString, mode);
    Rig rig;
    rig.add(QStringLiteral("07.12.2026 10:00:00"), mode, name);
    rig.tickEvery5s(at(kMonday, 9, 59, 58), at(kMonday, 10, 0, 8));
    QTEST(rig.system.calls, "calls");
}

void TestScheduler::weekdayTaskIgnoresLocaleLanguage()
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Rig rig;
    rig.add(QStringLiteral("01.12.2026 10:00:00"), QStringLiteral("Monday"));
    rig.add(QStringLiteral("01.12.2026 10:00:00"), QStringLiteral("Shut Down(Tuesday)"));
    rig.tickEvery5s(at(kMonday, 9, 59, 58), at(kMonday, 10, 0, 8));
    rig.tickEvery5s(at(kMonday.addDays(1), 9, 59, 58), at(kMonday.addDays(1), 10, 0, 8));
    QLocale::setDefault(saved);
    QCOMPARE(rig.system.calls, QStringList({"open /f/a", "powerOff"}));
}

void TestScheduler::identicalRowsBothFireInOrder()
{
    Rig rig;
    rig.add(QStringLiteral("07.12.2026 10:00:00"), QStringLiteral("Simple"), QStringLiteral("a"));
    rig.add(QStringLiteral("07.12.2026 10:00:00"), QStringLiteral("Every day"),
            QStringLiteral("b"));
    rig.add(QStringLiteral("07.12.2026 10:00:00"), QStringLiteral("Every day"),
            QStringLiteral("b"));
    rig.tickAt(at(kMonday, 9, 59, 58));
    rig.tickAt(at(kMonday, 10, 0, 3));
    QCOMPARE(rig.system.calls, QStringList({"open /f/a", "open /f/b", "open /f/b"}));
    QCOMPARE(rig.table.currentRow(), 3);
}

void TestScheduler::burstIsMarkedAndSavedOnceBeforeAnyAction()
{
    Rig rig;
    for (const char *name : {"a", "b", "c"})
        rig.add(QStringLiteral("07.12.2026 10:00:00"), QStringLiteral("Every day"),
                QLatin1String(name));
    rig.add(QStringLiteral("07.12.2026 10:00:00"), QStringLiteral("Shut Down(Every day)"),
            QStringLiteral("Shut Down"));
    rig.add(QStringLiteral("07.12.2026 10:00:05"), QStringLiteral("Every day"),
            QStringLiteral("later"));
    QStringList saves;
    rig.scheduler.setBeforeActions([&] {
        QString marks;
        for (int r = 1; r < rig.table.rowCount(); ++r)
            marks += rig.cell(TaskTable::FiredColumn, r);
        saves << marks + QStringLiteral(" after %1 actions").arg(rig.system.calls.size());
    });
    rig.tickAt(at(kMonday, 9, 59, 58));
    rig.tickAt(at(kMonday, 10, 0, 1));
    QCOMPARE(saves, QStringList{"11110 after 0 actions"});
    QCOMPARE(rig.system.calls, QStringList({"open /f/a", "open /f/b", "open /f/c", "powerOff"}));
    QCOMPARE(rig.table.currentRow(), 4);
}

void TestScheduler::clockSetBackAfterRowsMovedFiresNothingAgain()
{
    Rig rig;
    rig.add(QStringLiteral("07.12.2026 9:00:00"), QStringLiteral("Every day"), QStringLiteral("x"));
    rig.add(QStringLiteral("07.12.2026 10:00:00"), QStringLiteral("Every day"));
    rig.add(QStringLiteral("07.12.2026 10:00:00"), QStringLiteral("Every day"));
    rig.tickEvery5s(at(kMonday, 9, 59, 58), at(kMonday, 10, 0, 3));
    QCOMPARE(rig.system.calls.size(), 2);
    // The row above goes, the two fired rows move up; then the clock is set back.
    rig.table.setCurrentRow(1);
    rig.table.DeleteSelectedTask();
    rig.tickEvery5s(at(kMonday, 9, 59, 58), at(kMonday, 10, 0, 8));
    QCOMPARE(rig.system.calls.size(), 2);
    // A third identical row is a task of its own.
    rig.add(QStringLiteral("07.12.2026 10:00:00"), QStringLiteral("Every day"));
    rig.tickEvery5s(at(kMonday, 9, 59, 58), at(kMonday, 10, 0, 8));
    QCOMPARE(rig.system.calls.size(), 3);
}

void TestScheduler::badCellStopsTheTick_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty fired mark") << int(TaskTable::FiredColumn) << ""
                                      << "Every day"
                                      << "'' is not a valid integer value.";
    QTest::newRow("bad time") << int(TaskTable::TimeColumn) << "07.12.2026 25:00:00"
                              << "Every day"
                              << "'25:00:00' is not a valid time.";
    QTest::newRow("bad date of a once-only task")
        << int(TaskTable::TimeColumn) << "32.12.2026 10:00:00"
        << "Simple"
        << "'32.12.2026' is not a valid date.";
    QTest::newRow("bad start count of a due task") << int(TaskTable::StartsColumn) << "x"
                                                   << "Every day"
                                                   << "'x' is not a valid integer value.";
    // A huge cell is quoted in part, so the message box stays quick.
    QTest::newRow("huge fired mark")
        << int(TaskTable::FiredColumn) << QString(10'000'000, u'7') << "Every day"
        << "'" + QString(60, u'7') +
               "…' is not a valid "
               "integer value.";
}

void TestScheduler::badCellStopsTheTick()
{
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, mode);
    Rig rig;
    rig.add(QStringLiteral("07.12.2026 10:00:00"), QStringLiteral("Every day"),
            QStringLiteral("1"));
    const int bad = rig.add(QStringLiteral("07.12.2026 10:00:00"), mode, QStringLiteral("2"));
    rig.add(QStringLiteral("07.12.2026 10:00:00"), QStringLiteral("Every day"),
            QStringLiteral("3"));
    rig.table.setCell(column, bad, text);
    rig.tickAt(at(kMonday, 9, 59, 58));
    rig.tickAt(at(kMonday, 10, 0, 3));
    // The rows before the bad one fired, the ones after it were not looked at.
    QCOMPARE(rig.system.calls, QStringList{"open /f/1"});
    QFETCH(QString, message);
    QVERIFY(!rig.errors.shown.isEmpty());
    QCOMPARE(rig.errors.shown.last(), message);
    // A cell read at every tick fails at every tick; the start count is read only
    // when the task is due.
    const qsizetype shown = rig.errors.shown.size();
    rig.tickAt(at(kMonday, 10, 0, 8));
    QCOMPARE(rig.errors.shown.size(), column == TaskTable::StartsColumn ? shown : shown + 1);
}

void TestScheduler::editedFiredOnceOnlyStaysSpent()
{
    Rig rig;
    const int row = rig.add(QStringLiteral("07.12.2026 10:00:00"), QStringLiteral("Simple"));
    rig.tickEvery5s(at(kMonday, 9, 59, 58), at(kMonday, 10, 0, 8));
    QCOMPARE(rig.system.calls.size(), 1);
    rig.table.changeFileTask(row, QStringLiteral("07.12.2026 10:01:00"), QStringLiteral("a"),
                             QStringLiteral("/f/"), QStringLiteral("Simple"));
    QCOMPARE(rig.cell(TaskTable::FiredColumn, row), QStringLiteral("0"));
    rig.tickEvery5s(at(kMonday, 10, 0, 13), at(kMonday, 10, 1, 13));
    QCOMPARE(rig.system.calls.size(), 1);
}

void TestScheduler::recurringTaskFiresEveryMatchingDay()
{
    Rig rig;
    const int row = rig.add(QStringLiteral("01.12.2026 10:00:00"),
                            QStringLiteral("Shut Down(Monday)"), QStringLiteral("Shut Down"));
    for (int day = 0; day < 15; ++day)
        rig.tickEvery5s(at(kMonday.addDays(day), 9, 59, 59), at(kMonday.addDays(day), 10, 0, 9));
    QCOMPARE(rig.system.calls, QStringList({"powerOff", "powerOff", "powerOff"}));
    QCOMPARE(rig.cell(TaskTable::StartsColumn, row), QStringLiteral("3"));
    QCOMPARE(rig.cell(TaskTable::FiredColumn, row), QStringLiteral("1"));
}

void TestScheduler::reportLineIsOneShortLine_data()
{
    QTest::addColumn<QString>("task");
    QTest::addColumn<QString>("shown");
    QTest::newRow("escape sequence") << "/f/red\x1b[31m.txt"
                                     << "/f/red\\e[31m.txt";
    QTest::newRow("bell, delete, tab, line ends") << "a\x07"
                                                     "b\x7f"
                                                     "\tc\r\nd"
                                                  << "a\\x07b\\x7f\\tc\\r\\nd";
    QTest::newRow("100 KB") << "/f/" + QString(100000, u'a') << "/f/" + QString(57, u'a') + u'…';
}

void TestScheduler::reportLineIsOneShortLine()
{
    QFETCH(QString, task);
    QFETCH(QString, shown);
    kv::Scheduler::Report report;
    report.at = at(kMonday, 10, 0, 0);
    report.row = 1;
    report.mode = "Simple\n";
    report.task = task;
    report.outcome = kv::Scheduler::Report::Failed;
    report.detail = "The file " + task + " does not exist.";
    const QString line = report.line();
    QCOMPARE(line.left(line.indexOf(u':', 33)),
             kv::Scheduler::Report::journalTime(report.at) + " row 1 Simple\\n \"" + shown + '"');
    QVERIFY2(line.size() < 500, qPrintable(line.left(600)));
    QVERIFY(std::none_of(line.cbegin(), line.cend(), [](QChar c) { return c.unicode() < 0x20; }));
}

QTEST_GUILESS_MAIN(TestScheduler)
#include "tst_scheduler.moc"
