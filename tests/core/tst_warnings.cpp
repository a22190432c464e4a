// SPDX-License-Identifier: GPL-3.0-or-later
// Advance warnings, their answers and the firing reports, on a fake clock.
#include "AdvanceWarnings.h"
#include "Fakes.h"
#include "ForecastText.h"
#include "TaskActions.h"
#include "TaskTable.h"

#include <QTest>

using kv::TaskTable;

namespace {

const QDate kMonday(2026, 12, 7);
const QDateTime kSet(kMonday, QTime(23, 0));

struct Rig
{
    Rig()
    {
        warnings.watch(&table);
        scheduler.setBeforeActions([this] { ++saves; });
        scheduler.setOnReport([this](const kv::Scheduler::Report &r) { reports << r.line(); });
        QObject::connect(&warnings, &kv::AdvanceWarnings::opened, [this](const auto &w) {
            seen << QStringLiteral("open %1 %2").arg(w.id).arg(w.countdownText());
        });
        QObject::connect(&warnings, &kv::AdvanceWarnings::counted, [this](const auto &w) {
            seen << QStringLiteral("count %1 %2").arg(w.id).arg(w.secondsLeft);
        });
        QObject::connect(&warnings, &kv::AdvanceWarnings::closed,
                         [this](int id) { seen << QStringLiteral("close %1").arg(id); });
    }
    int add(const QString &mode, const QString &time = QStringLiteral("07.12.2026 23:00:00"))
    {
        const QString name = mode.left(mode.indexOf(u'('));
        return table.appendTask(time, name, QString(), mode);
    }
    // Sets the clock and looks, as the timers would.
    QStringList at(const QDateTime &when)
    {
        clock.setNow(when);
        scheduler.Timer1Timer();
        warnings.update();
        return std::exchange(seen, {});
    }
    QString cells(int row) const
    {
        return table.cell(TaskTable::FiredColumn, row) + u' ' +
               table.cell(TaskTable::StartsColumn, row);
    }

    TaskTable table;
    kv::FakeClock clock{kSet.addSecs(-3600)};
    kv::RecordingSystemActions system;
    kv::RecordingErrorSink errors;
    kv::TaskActions actions{table, system};
    kv::Scheduler scheduler{table, actions, clock, errors, kv::DateTimeText(QLocale("de_DE"))};
    kv::AdvanceWarnings warnings{scheduler, clock};
    QStringList seen;
    QStringList reports;
    int saves = 0;
};

// A timer's remaining time, read a moment after it was set.
bool near(int remainingMs, int setMs)
{
    return remainingMs <= setMs && remainingMs > setMs - 100;
}

} // namespace

class TestWarnings : public QObject
{
    Q_OBJECT

private slots:
    void warnsAMinuteBeforePowerEvents_data();
    void warnsAMinuteBeforePowerEvents();
    void countsDownAndEndsWithTheFiring();
    void answers_data();
    void answers();
    void changesCloseAMovedWarning_data();
    void changesCloseAMovedWarning();
    void reportsAndToolTips();
    void journalInTheRepeatedHour();
};

void TestWarnings::warnsAMinuteBeforePowerEvents_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("countdown"); // empty: no warning
    QTest::newRow("shut down once") << "Shut Down(Simple)"
                                    << "Shut Down in 60 s";
    QTest::newRow("restart on Mondays") << "Restart(Monday)"
                                        << "Restart in 60 s";
    QTest::newRow("stand by every day") << "Stand By(Every day)"
                                        << "Stand By in 60 s";
    QTest::newRow("stand off loses nothing") << "Stand Off(Simple)" << QString();
    QTest::newRow("a file") << "Simple" << QString();
}

void TestWarnings::warnsAMinuteBeforePowerEvents()
{
    QFETCH(QString, mode);
    QFETCH(QString, countdown);
    Rig rig;
    rig.add(mode);
    QCOMPARE(rig.at(kSet.addSecs(-61)), QStringList());
    if (countdown.isEmpty())
        QCOMPARE(rig.warnings.remainingMs(), -1);
    else
        QVERIFY(near(rig.warnings.remainingMs(), 1000));
    QCOMPARE(rig.at(kSet.addSecs(-60)),
             countdown.isEmpty() ? QStringList() : QStringList{"open 1 " + countdown});
}

void TestWarnings::countsDownAndEndsWithTheFiring()
{
    Rig rig;
    // Added 20.5 s before its time: warned at once, with the time left.
    rig.clock.setNow(kSet.addMSecs(-20500));
    rig.add(QStringLiteral("Shut Down(Simple)"));
    QTRY_COMPARE(rig.seen, QStringList{"open 1 Shut Down in 21 s"});
    rig.seen.clear();
    QVERIFY(near(rig.warnings.remainingMs(), 500));
    QCOMPARE(rig.warnings.warnings().first().whenText(rig.scheduler.texts()),
             QStringLiteral("At 07.12.2026 23:00:00"));
    QCOMPARE(rig.at(kSet.addMSecs(-20000)), QStringList{"count 1 20"});
    QCOMPARE(rig.at(kSet.addMSecs(-1)), QStringList{"count 1 1"});
    QCOMPARE(rig.system.calls, QStringList());
    // Nobody answered: it fires on its second, and the warning ends.
    QCOMPARE(rig.at(kSet), QStringList{"close 1"});
    QCOMPARE(rig.system.calls, QStringList{"powerOff"});
    QCOMPARE(rig.cells(1), QStringLiteral("1 1"));
    QCOMPARE(rig.warnings.remainingMs(), -1);
}

void TestWarnings::answers_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("postpone");        // minutes; 0: cancel
    QTest::addColumn<QString>("cells");       // fired mark and start count after the answer
    QTest::addColumn<int>("saves");           // of the answer
    QTest::addColumn<QDateTime>("firesNext"); // after the answer
    const QDateTime tomorrow = kSet.addDays(1);
    QTest::newRow("cancel once-only") << "Shut Down(Simple)" << 0 << "1 0" << 1 << QDateTime();
    QTest::newRow("cancel every day") << "Restart(Every day)" << 0 << "0 0" << 0 << tomorrow;
    QTest::newRow("postpone once-only")
        << "Shut Down(Simple)" << 5 << "0 0" << 0 << kSet.addSecs(300);
    QTest::newRow("postpone every day")
        << "Stand By(Every day)" << 60 << "0 0" << 0 << kSet.addSecs(3600);
}

void TestWarnings::answers()
{
    QFETCH(QString, mode);
    QFETCH(int, postpone);
    QFETCH(QDateTime, firesNext);
    Rig rig;
    rig.add(mode);
    rig.at(kSet.addSecs(-30));
    if (postpone)
        rig.warnings.postpone(1, postpone);
    else
        rig.warnings.cancel(1);
    QCOMPARE(rig.seen, QStringList{"close 1"});
    QTEST(rig.cells(1), "cells");
    QTEST(rig.saves, "saves");
    QCOMPARE(rig.scheduler.nextOccurrence(rig.clock.now()).value_or(QDateTime()), firesNext);
    QCOMPARE(rig.reports.size(), 1);
    QVERIFY2(rig.reports.first().endsWith(
                 postpone ? ": postponed to " + kv::Scheduler::Report::journalTime(firesNext)
                          : QStringLiteral(": cancelled")),
             qPrintable(rig.reports.first()));
    rig.seen.clear();
    QCOMPARE(rig.at(kSet), QStringList());
    QCOMPARE(rig.system.calls, QStringList());
    if (!postpone)
        return;
    // A new warning a minute before the new time; it fires once, then, and is marked.
    QCOMPARE(rig.at(firesNext.addSecs(-60)),
             QStringList{"open 2 " + mode.left(mode.indexOf(u'(')) + " in 60 s"});
    QCOMPARE(rig.warnings.warnings().first().whenText(rig.scheduler.texts()),
             "At " + rig.scheduler.texts().dateTime(firesNext) + ", postponed from 23:00:00");
    // Postponed again: the delay counts from the postponed time.
    rig.warnings.postpone(2, 5);
    QCOMPARE(rig.scheduler.nextOccurrence(rig.clock.now()).value_or(QDateTime()),
             firesNext.addSecs(300));
    rig.at(firesNext.addSecs(299));
    QCOMPARE(rig.system.calls, QStringList());
    rig.at(firesNext.addSecs(300));
    QCOMPARE(rig.system.calls.size(), 1);
    QCOMPARE(rig.cells(1), QStringLiteral("1 1"));
    rig.at(firesNext.addSecs(900));
    QCOMPARE(rig.system.calls.size(), 1);
}

void TestWarnings::changesCloseAMovedWarning_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("seen");
    QTest::newRow("row above deleted") << "delete above" << QStringList();
    QTest::newRow("time edited") << "edit" << QStringList{"close 1", "open 2 Shut Down in 50 s"};
    QTest::newRow("row deleted") << "delete" << QStringList{"close 1"};
    QTest::newRow("new base") << "clear" << QStringList{"close 1"};
    QTest::newRow("clock set back") << "clock back" << QStringList{"close 1"};
    QTest::newRow("clock set on past it") << "clock on" << QStringList{"close 1"};
}

void TestWarnings::changesCloseAMovedWarning()
{
    QFETCH(QString, change);
    Rig rig;
    rig.add(QStringLiteral("Every day"), QStringLiteral("07.12.2026 8:00:00"));
    const int row = rig.add(QStringLiteral("Shut Down(Every day)"));
    rig.at(kSet.addSecs(-30));
    if (change == QLatin1String("delete above")) {
        rig.table.setCurrentRow(1);
        rig.table.DeleteSelectedTask();
    } else if (change == QLatin1String("edit")) {
        rig.table.changeEventTask(row, QStringLiteral("07.12.2026 23:00:20"),
                                  QStringLiteral("Shut Down"),
                                  QStringLiteral("Shut Down(Every day)"));
    } else if (change == QLatin1String("delete")) {
        rig.table.setCurrentRow(row);
        rig.table.DeleteSelectedTask();
    } else if (change == QLatin1String("clear")) {
        rig.table.clearTasks();
    } else {
        rig.clock.advance(change == QLatin1String("clock back") ? -3600000 : 3600000);
        rig.warnings.update();
    }
    QTest::qWait(0);
    QTEST(rig.seen, "seen");
}

void TestWarnings::reportsAndToolTips()
{
    Rig rig;
    rig.system.failures.insert(QStringLiteral("powerOff"), QStringLiteral("Access denied"));
    rig.add(QStringLiteral("Shut Down(Simple)"));
    const int file =
        rig.table.appendTask(QStringLiteral("07.12.2026 23:00:00"), QStringLiteral("a.ogg"),
                             QStringLiteral("/m/"), QStringLiteral("Every day"));
    const int bad = rig.table.appendTask(QStringLiteral("07.12.2026 25:00:00"), QStringLiteral("b"),
                                         QStringLiteral("/"), QStringLiteral("Monday"));
    const auto tip = [&rig](int row) {
        return kv::ForecastText::toolTip(rig.scheduler, row, rig.clock.now());
    };
    rig.clock.setNow(kSet.addSecs(-(14 * 3600 + 32 * 60 + 59)));
    QCOMPARE(tip(1), QStringLiteral("Next: 07.12.2026 23:00:00, in 14 h 32 min"));
    QCOMPARE(tip(bad), QStringLiteral("'25:00:00' is not a valid time."));
    rig.at(kSet);
    // The tick stops at the unreadable row; both before it fired, one failed.
    QCOMPARE(rig.reports,
             QStringList({R"(2026-12-07 23:00:00 +01:00 row 1 Shut Down(Simple) "Shut Down": )"
                          "failed: Access denied",
                          R"(2026-12-07 23:00:00 +01:00 row 2 Every day "/m/a.ogg": done)"}));
    QCOMPARE(tip(1), QStringLiteral("Done"));
    QCOMPARE(tip(file), QStringLiteral("Next: 08.12.2026 23:00:00, in 1 d 0 h"));
    QCOMPARE(kv::ForecastText::distance(59999), QStringLiteral("59 s"));
    QCOMPARE(kv::ForecastText::distance(3599999), QStringLiteral("59 min"));
}

void TestWarnings::journalInTheRepeatedHour()
{
    // In Europe/Berlin (set by CTest) 03:00 CEST becomes 02:00 CET on 25 October.
    const QDateTime firstPass =
        QDateTime(QDate(2026, 10, 25), QTime(0, 59, 35), Qt::UTC).toLocalTime();
    QCOMPARE(firstPass.time(), QTime(2, 59, 35));
    Rig rig;
    rig.system.unanswered.insert(QStringLiteral("powerOff"), QStringLiteral("No answer yet."));
    rig.add(QStringLiteral("Shut Down(Simple)"), QStringLiteral("25.10.2026 2:59:35"));
    rig.at(firstPass.addSecs(-30));
    rig.warnings.postpone(1, 15);
    // Postponed into the second pass of the hour, which fires late, unanswered.
    rig.at(firstPass.addSecs(15 * 60));
    QCOMPARE(rig.system.calls, QStringList{"powerOff"});
    rig.system.answer();
    const QString task = QStringLiteral(R"(row 1 Shut Down(Simple) "Shut Down": )");
    QCOMPARE(rig.reports,
             QStringList(
                 {"2026-10-25 02:59:05 +02:00 " + task + "postponed to 2026-10-25 02:14:35 +01:00",
                  "2026-10-25 02:14:35 +01:00 " + task + "no answer yet: No answer yet.",
                  "2026-10-25 02:14:35 +01:00 " + task + "done"}));
}

QTEST_GUILESS_MAIN(TestWarnings)
#include "tst_warnings.moc"
