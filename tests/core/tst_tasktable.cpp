// SPDX-License-Identifier: GPL-3.0-or-later
#include "Errors.h"
#include "TaskTable.h"

#include <QSignalSpy>
#include <QTest>

using kv::TaskTable;

namespace {

// Appends n "Every day" tasks whose file names are "f1" ... "fn".
void appendTasks(TaskTable &table, int n)
{
    for (int i = 1; i <= n; ++i)
        table.appendTask(QStringLiteral("07.12.2026 10:00:00"), QStringLiteral("f%1").arg(i),
                         QStringLiteral("/tmp/"), QStringLiteral("Every day"));
}

QStringList names(const TaskTable &table)
{
    QStringList list;
    for (int r = 1; r < table.rowCount(); ++r)
        list << table.cell(TaskTable::NameColumn, r);
    return list;
}

} // namespace

class TestTaskTable : public QObject
{
    Q_OBJECT

private slots:
    void startsWithHeaderOnly();
    void gridRowCountRules();
    void appendWritesRowAndFixesHeader();
    void changeFileTaskRearmsAndKeepsStarts();
    void changeEventTaskKeepsMarkPathAndStarts();
    void deleteSelected_data();
    void deleteSelected();
    void deleteOnlyTaskFreesHeader();
    void deleteAll();
    void refusesTask255();
    void modelSignalsFollowRows();
};

void TestTaskTable::startsWithHeaderOnly()
{
    TaskTable table;
    QCOMPARE(table.columnCount(), 6);
    QCOMPARE(table.rowCount(), 1);
    QCOMPARE(table.fixedRows(), 0);
    QCOMPARE(table.currentRow(), 0);
    QCOMPARE(table.currentTask(), 0);
    for (int c = 0; c < 6; ++c)
        QCOMPARE(table.cell(c, 0), TaskTable::headerTexts().at(c));
    QCOMPARE(TaskTable::headerTexts(),
             QStringList({"", "Time", "File name/Event", "Path", "Mode", "Starts"}));
}

void TestTaskTable::gridRowCountRules()
{
    kv::StringGrid grid(3, 4);
    grid.setFixedRows(1);
    grid.setCurrentRow(3);
    grid.setCell(0, 3, QStringLiteral("x"));

    grid.setCurrentRow(0); // a fixed row cannot become current
    QCOMPARE(grid.currentRow(), 3);
    grid.setCurrentRow(4); // past the end
    QCOMPARE(grid.currentRow(), 3);

    grid.setRowCount(3); // the current row follows the shrinking grid
    QCOMPARE(grid.currentRow(), 2);
    grid.setRowCount(4); // a row that comes back starts empty
    QCOMPARE(grid.cell(0, 3), QString());

    grid.setRowCount(1); // fixed rows are always fewer than rows
    QCOMPARE(grid.fixedRows(), 0);
    QCOMPARE(grid.currentRow(), 0);
    grid.setCurrentRow(0);
    QCOMPARE(grid.currentRow(), 0);

    grid.setRowCount(0); // one row always remains
    QCOMPARE(grid.rowCount(), 1);
    QCOMPARE(grid.cell(5, 0), QString()); // outside reads as empty
    grid.setCell(0, 7, QStringLiteral("ignored"));
    QCOMPARE(grid.rowCount(), 1);
}

void TestTaskTable::appendWritesRowAndFixesHeader()
{
    TaskTable table;
    const int row = table.appendTask(QStringLiteral("07.12.2026 9:05:00"), QStringLiteral("a.txt"),
                                     QStringLiteral("/home/u/"), QStringLiteral("Simple"));
    QCOMPARE(row, 1);
    QCOMPARE(table.rowCount(), 2);
    QCOMPARE(table.fixedRows(), 1);
    QCOMPARE(table.currentRow(), 1);
    const QStringList expected{"0", "07.12.2026 9:05:00", "a.txt", "/home/u/", "Simple", "0"};
    for (int c = 0; c < 6; ++c)
        QCOMPARE(table.cell(c, 1), expected.at(c));

    table.appendTask(QStringLiteral("07.12.2026 9:05:00"), QStringLiteral("Shut Down"), QString(),
                     QStringLiteral("Shut Down(Monday)"));
    QCOMPARE(table.currentRow(), 2);
    QCOMPARE(table.cell(TaskTable::PathColumn, 2), QString());
}

void TestTaskTable::changeFileTaskRearmsAndKeepsStarts()
{
    TaskTable table;
    appendTasks(table, 2);
    table.setCell(TaskTable::FiredColumn, 1, QStringLiteral("1"));
    table.setCell(TaskTable::StartsColumn, 1, QStringLiteral("3"));
    table.changeFileTask(1, QStringLiteral("08.12.2026 11:00:00"), QStringLiteral("b.txt"),
                         QStringLiteral("/b/"), QStringLiteral("Simple"));
    const QStringList expected{"0", "08.12.2026 11:00:00", "b.txt", "/b/", "Simple", "3"};
    for (int c = 0; c < 6; ++c)
        QCOMPARE(table.cell(c, 1), expected.at(c));
    QCOMPARE(table.cell(TaskTable::NameColumn, 2), QStringLiteral("f2"));

    table.changeFileTask(0, QStringLiteral("x"), QStringLiteral("x"), QStringLiteral("x"),
                         QStringLiteral("x")); // the title row is no task
    QCOMPARE(table.cell(TaskTable::TimeColumn, 0), QStringLiteral("Time"));
}

void TestTaskTable::changeEventTaskKeepsMarkPathAndStarts()
{
    TaskTable table;
    appendTasks(table, 1);
    table.setCell(TaskTable::FiredColumn, 1, QStringLiteral("1"));
    table.setCell(TaskTable::StartsColumn, 1, QStringLiteral("2"));
    table.changeEventTask(1, QStringLiteral("08.12.2026 11:00:00"), QStringLiteral("Restart"),
                          QStringLiteral("Restart(Every day)"));
    const QStringList expected{"1",     "08.12.2026 11:00:00", "Restart",
                               "/tmp/", "Restart(Every day)",  "2"};
    for (int c = 0; c < 6; ++c)
        QCOMPARE(table.cell(c, 1), expected.at(c));
}

void TestTaskTable::deleteSelected_data()
{
    QTest::addColumn<int>("current");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<int>("currentAfter");
    QTest::newRow("first") << 1 << QStringList{"f2", "f3", "f4"} << 1;
    QTest::newRow("middle") << 2 << QStringList{"f1", "f3", "f4"} << 2;
    QTest::newRow("last") << 4 << QStringList{"f1", "f2", "f3"} << 3;
}

void TestTaskTable::deleteSelected()
{
    QFETCH(int, current);
    TaskTable table;
    appendTasks(table, 4);
    table.setCell(TaskTable::FiredColumn, 3, QStringLiteral("1"));
    table.setCell(TaskTable::StartsColumn, 3, QStringLiteral("7"));
    table.setCurrentRow(current);
    table.DeleteSelectedTask();
    QTEST(names(table), "left");
    QTEST(table.currentRow(), "currentAfter");
    // Later rows keep every cell, fired marks and start counts included.
    const int f3 = int(names(table).indexOf(QStringLiteral("f3"))) + 1;
    if (f3 > 0) {
        QCOMPARE(table.cell(TaskTable::FiredColumn, f3), QStringLiteral("1"));
        QCOMPARE(table.cell(TaskTable::StartsColumn, f3), QStringLiteral("7"));
    }
}

void TestTaskTable::deleteOnlyTaskFreesHeader()
{
    TaskTable table;
    appendTasks(table, 1);
    table.DeleteSelectedTask();
    QCOMPARE(table.rowCount(), 1);
    QCOMPARE(table.fixedRows(), 0);
    QCOMPARE(table.currentRow(), 0);
    QCOMPARE(table.cell(TaskTable::TimeColumn, 0), QStringLiteral("Time"));
    table.DeleteSelectedTask(); // the title row is never deleted
    QCOMPARE(table.rowCount(), 1);
    QCOMPARE(table.cell(TaskTable::TimeColumn, 0), QStringLiteral("Time"));
}

void TestTaskTable::deleteAll()
{
    TaskTable table;
    table.DeleteAllTasks(); // nothing to do
    QCOMPARE(table.rowCount(), 1);
    appendTasks(table, 3);
    table.setCell(TaskTable::FiredColumn, 2, QStringLiteral("1"));
    table.DeleteAllTasks();
    QCOMPARE(table.rowCount(), 1);
    QCOMPARE(table.fixedRows(), 0);
    QCOMPARE(table.cell(TaskTable::ModeColumn, 0), QStringLiteral("Mode"));
    table.setRowCount(2); // no old text comes back with a new row
    for (int c = 0; c < 6; ++c)
        QCOMPARE(table.cell(c, 1), QString());
}

void TestTaskTable::refusesTask255()
{
    TaskTable table;
    appendTasks(table, TaskTable::kMaxTasks);
    QCOMPARE(table.rowCount(), 255);
    try {
        appendTasks(table, 1);
        QFAIL("a 255th task was accepted");
    } catch (const kv::Error &e) {
        QCOMPARE(kv::standardErrorText(e.message()),
                 QStringLiteral("The task list is full (254 tasks)."));
    }
    QCOMPARE(table.rowCount(), 255);
    QCOMPARE(table.currentRow(), 254);
}

void TestTaskTable::modelSignalsFollowRows()
{
    TaskTable table;
    QSignalSpy inserted(&table, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&table, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&table, &QAbstractItemModel::dataChanged);
    QSignalSpy current(&table, &kv::StringGrid::currentRowChanged);
    appendTasks(table, 2);
    QCOMPARE(inserted.count(), 2);
    QCOMPARE(current.count(), 2);
    QVERIFY(changed.count() >= 12);
    QCOMPARE(table.data(table.index(1, 2)).toString(), QStringLiteral("f1"));
    table.DeleteSelectedTask();
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.first().at(1).toInt(), 2);
}

QTEST_GUILESS_MAIN(TestTaskTable)
#include "tst_tasktable.moc"
