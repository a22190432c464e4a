// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModalityProbe.h"
#include "ZephButton.h"
#include "editor_support.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using kv::TaskTable;
using kv::test::EditorRig;

namespace {

const QString kFullTable = QStringLiteral("The task list is full (254 tasks).");

QString checkedEvent(const kv::TEditTaskForm &form)
{
    for (QRadioButton *radio :
         {form.RadioButton3, form.RadioButton4, form.RadioButton7, form.RadioButton8})
        if (radio->isChecked())
            return radio->text();
    return {};
}

} // namespace

class TestEditTaskForm : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void editWithoutTaskDoesNothing();
    void editTaskOutsideTable_data();
    void editTaskOutsideTable();
    void editTaskAsEvent();
    void editOpensPageByName_data();
    void editOpensPageByName();
    void fileDayMatch_data();
    void fileDayMatch();
    void eventDayMatch_data();
    void eventDayMatch();
    void timeCellSplit_data();
    void timeCellSplit();
    void openingResetsFields();

    void addFileTask_data();
    void addFileTask();
    void addEventTask_data();
    void addEventTask();
    void modifyResetsOrKeepsFiredMark_data();
    void modifyResetsOrKeepsFiredMark();
    void otherPageAddsWhileModifying();
    void storedTimeReadsBack_data();
    void storedTimeReadsBack();

    void missingFileRefusedSilently_data();
    void missingFileRefusedSilently();
    void badDateOrTimeRefused_data();
    void badDateOrTimeRefused();
    void emptyEventDateRefusedSilently();
    void fullTableRefused_data();
    void fullTableRefused();

    void closingClearsMode_data();
    void closingClearsMode();
    void modalLoopEndsWithCancel();
    void blocksOnlyItsOwner_data();
    void blocksOnlyItsOwner();
    void ownDialogsBlockOnlyTheMainWindow_data();
    void ownDialogsBlockOnlyTheMainWindow();
    void currentDateAndTime_data();
    void currentDateAndTime();
    void openFile_data();
    void openFile();
    void dayListIgnoresTyping_data();
    void dayListIgnoresTyping();
    void droppedDayListIgnoresTyping();
    void calendarOkWritesBothDates_data();
    void calendarOkWritesBothDates();
    void calendarCancelWritesNothing_data();
    void calendarCancelWritesNothing();
    void dialogsOpenCentredOverParent();
    void keyboardReach_data();
    void keyboardReach();
    void buttonsShowTheFocus();

private:
    std::unique_ptr<EditorRig> rig;
    std::unique_ptr<QTemporaryDir> dir; // a fresh folder for every test
    QString folder;                     // with its trailing separator
    void createFile(const QString &name)
    {
        QFile file(folder + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    void fillFilePage(const QString &name)
    {
        rig->editor.Edit1->setText(folder);
        rig->editor.Edit4->setText(name);
    }
};

void TestEditTaskForm::init()
{
    rig = std::make_unique<EditorRig>();
    dir = std::make_unique<QTemporaryDir>();
    folder = dir->path() + QLatin1Char('/');
}

void TestEditTaskForm::editWithoutTaskDoesNothing()
{
    rig->editor.EditSelectedTask();
    QVERIFY(!rig->editor.isVisible());
    QVERIFY(!rig->editor.ModifyFileTask());
    QVERIFY(!rig->editor.ModifyEventTask());
}

void TestEditTaskForm::editTaskOutsideTable_data()
{
    QTest::addColumn<int>("row");
    QTest::newRow("title row") << 0;
    QTest::newRow("past the end") << 2;
    QTest::newRow("negative") << -1;
}

void TestEditTaskForm::editTaskOutsideTable()
{
    QFETCH(int, row);
    rig->addRow("0", "26.11.2007 9:05:00", "a.txt", "/", "Simple", "0");
    rig->editor.EditTask(row, false);
    QVERIFY(!rig->editor.isVisible());
    QVERIFY(!rig->editor.ModifyFileTask());
}

// The caller's word decides the page, whatever the row's name.
void TestEditTaskForm::editTaskAsEvent()
{
    rig->addRow("0", "26.11.2007 9:05:00", "a.txt", "/", "Simple", "0");
    rig->editor.EditTask(1, true);
    QVERIFY(rig->editor.ModifyEventTask());
    QCOMPARE(rig->editor.PageControl1->currentWidget(), rig->editor.TabSheet2);
    QCOMPARE(checkedEvent(rig->editor), "Shut Down");
    QCOMPARE(rig->editor.Edit6->text(), "9:05:00");
}

void TestEditTaskForm::editOpensPageByName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("event");
    QTest::addColumn<QString>("checked");

    QTest::newRow("file task") << "report.txt"
                               << "Simple" << false << "Shut Down";
    QTest::newRow("event task") << "Stand By"
                                << "Stand By(Monday)" << true << "Stand By";
    QTest::newRow("file task named Restart") << "Restart"
                                             << "Simple" << true << "Restart";
    QTest::newRow("event name in other case") << "restart"
                                              << "Simple" << false << "Shut Down";
    QTest::newRow("Stand Off") << "Stand Off"
                               << "Stand Off(Simple)" << true << "Stand Off";
}

void TestEditTaskForm::editOpensPageByName()
{
    QFETCH(QString, name);
    QFETCH(QString, mode);
    QFETCH(bool, event);
    QFETCH(QString, checked);
    rig->addRow("0", "26.11.2007 9:05:00", "first", "", "Simple", "0");
    const int row = rig->addRow("0", "26.11.2007 9:05:00", name, "/docs/", mode, "0");
    rig->editor.EditSelectedTask();

    auto &form = rig->editor;
    QVERIFY(form.isVisible());
    QCOMPARE(form.EditedRow(), row);
    QCOMPARE(form.ModifyEventTask(), event);
    QCOMPARE(form.ModifyFileTask(), !event);
    QCOMPARE(form.PageControl1->currentWidget(), event ? form.TabSheet2 : form.TabSheet1);
    QCOMPARE(checkedEvent(form), checked);
    QCOMPARE(form.Edit4->text(), event ? QString() : name);
    QCOMPARE(form.Edit1->text(), event ? QString() : QStringLiteral("/docs/"));
    QCOMPARE(form.ZephButton1->caption(), event ? "Add new task!" : "Modify task!");
    QCOMPARE(form.ZephButton5->caption(), event ? "Modify task!" : "Add new task!");
}

void TestEditTaskForm::fileDayMatch_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("simple");
    QTest::addColumn<int>("day");

    QTest::newRow("Friday") << "Friday" << false << 4;
    QTest::newRow("friday: case counts") << "friday" << false << 7;
    QTest::newRow("Monday") << "Monday" << false << 0;
    QTest::newRow("Every day") << "Every day" << false << 7;
    QTest::newRow("Simple") << "Simple" << true << 7;
    QTest::newRow("simple: case counts") << "simple" << false << 7;
    QTest::newRow("event mode") << "Restart(Sunday)" << false << 7;
}

void TestEditTaskForm::fileDayMatch()
{
    QFETCH(QString, mode);
    QFETCH(bool, simple);
    QFETCH(int, day);
    rig->addRow("0", "26.11.2007 9:05:00", "a.txt", "/", mode, "0");
    rig->editor.EditSelectedTask();
    QCOMPARE(rig->editor.RadioButton1->isChecked(), simple);
    QCOMPARE(rig->editor.RadioButton2->isChecked(), !simple);
    QCOMPARE(rig->editor.ComboBox1->currentIndex(), day);
}

void TestEditTaskForm::eventDayMatch_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("simple");
    QTest::addColumn<int>("day");

    QTest::newRow("capitals") << "Shut Down"
                              << "SHUT DOWN(MONDAY)" << false << 0;
    QTest::newRow("Sunday") << "Stand By"
                            << "Stand By(Sunday)" << false << 6;
    QTest::newRow("every day, mixed case") << "Restart"
                                           << "rEsTaRt(Every Day)" << false << 7;
    QTest::newRow("Thursday of another event") << "Restart"
                                               << "Stand Off(Thursday)" << false << 3;
    QTest::newRow("Simple") << "Stand Off"
                            << "Stand Off(Simple)" << true << 7;
    QTest::newRow("simple: case counts") << "Stand Off"
                                         << "stand off(simple)" << false << 7;
    QTest::newRow("unknown day") << "Restart"
                                 << "Restart(Funday)" << false << 7;
    QTest::newRow("blank before suffix") << "Restart"
                                         << "Restart (Monday)" << false << 7;
}

void TestEditTaskForm::eventDayMatch()
{
    QFETCH(QString, name);
    QFETCH(QString, mode);
    QFETCH(bool, simple);
    QFETCH(int, day);
    rig->addRow("0", "26.11.2007 9:05:00", name, "", mode, "0");
    rig->editor.EditSelectedTask();
    QCOMPARE(checkedEvent(rig->editor), name);
    QCOMPARE(rig->editor.RadioButton5->isChecked(), simple);
    QCOMPARE(rig->editor.RadioButton6->isChecked(), !simple);
    QCOMPARE(rig->editor.ComboBox2->currentIndex(), day);
}

void TestEditTaskForm::timeCellSplit_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");

    for (const QString &name : {QStringLiteral("a.txt"), QStringLiteral("Shut Down")}) {
        const QByteArray page = name == "a.txt" ? "file " : "event ";
        QTest::newRow(page + "one-digit hour") << name << "26.11.2007 9:05:00"
                                               << "26.11.2007"
                                               << "9:05:00";
        QTest::newRow(page + "two-digit hour") << name << "26.11.2007 09:05:00"
                                               << "26.11.2007"
                                               << "09:05:00";
        QTest::newRow(page + "no seconds") << name << "26.11.2007 9:05"
                                           << "26.11.2007"
                                           << "007 9:05";
        QTest::newRow(page + "empty") << name << ""
                                      << ""
                                      << "";
    }
}

void TestEditTaskForm::timeCellSplit()
{
    QFETCH(QString, name);
    QFETCH(QString, cell);
    QFETCH(QString, date);
    QFETCH(QString, time);
    rig->addRow("0", cell, name, "", "Simple", "0");
    rig->editor.EditSelectedTask();
    const bool event = name != "a.txt";
    QCOMPARE((event ? rig->editor.Edit5 : rig->editor.Edit2)->text(), date);
    QCOMPARE((event ? rig->editor.Edit6 : rig->editor.Edit3)->text(), time);
    // The other page shows the clock.
    QCOMPARE((event ? rig->editor.Edit2 : rig->editor.Edit5)->text(), "07.12.2026");
}

void TestEditTaskForm::openingResetsFields()
{
    auto &form = rig->editor;
    rig->addRow("0", "01.01.2020 1:00:00", "Stand By", "", "Stand By(Simple)", "0");
    form.EditSelectedTask();
    form.RadioButton8->setChecked(true);
    form.Edit1->setText("/x/");
    form.Edit4->setText("y");
    form.RadioButton1->setChecked(true);
    form.ComboBox1->setCurrentIndex(2);
    form.reject();

    rig->clock.setNow(QDateTime(QDate(2027, 2, 3), QTime(19, 4, 5)));
    form.NewTask();
    QCOMPARE(form.Edit2->text(), "03.02.2027");
    QCOMPARE(form.Edit5->text(), "03.02.2027");
    QCOMPARE(form.Edit3->text(), "19:04:05");
    QCOMPARE(form.Edit6->text(), "19:04:05");
    QVERIFY(form.Edit1->text().isEmpty());
    QVERIFY(form.Edit4->text().isEmpty());
    QVERIFY(form.RadioButton2->isChecked());
    QVERIFY(form.RadioButton6->isChecked());
    QCOMPARE(checkedEvent(form), "Shut Down");
    QCOMPARE(form.ComboBox1->currentIndex(), 7);
    QCOMPARE(form.ComboBox2->currentIndex(), 7);
    QCOMPARE(form.ZephButton1->caption(), "Add new task!");
    QCOMPARE(form.ZephButton5->caption(), "Add new task!");
    QCOMPARE(form.PageControl1->currentWidget(), form.TabSheet1);
}

void TestEditTaskForm::addFileTask_data()
{
    QTest::addColumn<bool>("simple");
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("mode");

    QTest::newRow("Simple") << true << 2 << "Simple";
    QTest::newRow("Wednesday") << false << 2 << "Wednesday";
    QTest::newRow("Every day") << false << 7 << "Every day";
}

void TestEditTaskForm::addFileTask()
{
    QFETCH(bool, simple);
    QFETCH(int, day);
    QFETCH(QString, mode);
    createFile("a.txt");
    auto &form = rig->editor;
    form.NewTask();
    fillFilePage("a.txt");
    (simple ? form.RadioButton1 : form.RadioButton2)->setChecked(true);
    form.ComboBox1->setCurrentIndex(day);
    form.ZephButton1->click();

    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(rig->table.rowCount(), 2);
    QCOMPARE(rig->rowCells(1),
             QStringList({"0", "07.12.2026 9:05:00", "a.txt", folder, mode, "0"}));
    QCOMPARE(rig->table.fixedRows(), 1);
    QCOMPARE(rig->table.currentRow(), 1);
    QVERIFY(rig->errors.shown.isEmpty());
}

void TestEditTaskForm::addEventTask_data()
{
    QTest::addColumn<QString>("event");
    QTest::addColumn<bool>("simple");
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("mode");

    QTest::newRow("Stand By, Sunday") << "Stand By" << false << 6 << "Stand By(Sunday)";
    QTest::newRow("Stand By, Simple") << "Stand By" << true << 6 << "Stand By(Simple)";
    QTest::newRow("Restart, every day") << "Restart" << false << 7 << "Restart(Every day)";
    QTest::newRow("Stand Off, Monday") << "Stand Off" << false << 0 << "Stand Off(Monday)";
    QTest::newRow("Shut Down, Simple") << "Shut Down" << true << 7 << "Shut Down(Simple)";
}

void TestEditTaskForm::addEventTask()
{
    QFETCH(QString, event);
    QFETCH(bool, simple);
    QFETCH(int, day);
    QFETCH(QString, mode);
    rig->addRow("1", "01.01.2020 1:00:00", "old.txt", "/", "Simple", "3");
    auto &form = rig->editor;
    form.NewTask();
    form.PageControl1->setCurrentWidget(form.TabSheet2);
    for (QRadioButton *radio :
         {form.RadioButton3, form.RadioButton4, form.RadioButton7, form.RadioButton8})
        if (radio->text() == event)
            radio->setChecked(true);
    (simple ? form.RadioButton5 : form.RadioButton6)->setChecked(true);
    form.ComboBox2->setCurrentIndex(day);
    form.ZephButton5->click();

    QVERIFY(!form.isVisible());
    QCOMPARE(rig->table.rowCount(), 3);
    QCOMPARE(rig->rowCells(2), QStringList({"0", "07.12.2026 9:05:00", event, "", mode, "0"}));
    QCOMPARE(rig->rowCells(1),
             QStringList({"1", "01.01.2020 1:00:00", "old.txt", "/", "Simple", "3"}));
    QCOMPARE(rig->table.currentRow(), 2);
}

void TestEditTaskForm::modifyResetsOrKeepsFiredMark_data()
{
    QTest::addColumn<bool>("event");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("file task: armed again")
        << false << QStringList({"0", "07.12.2026 9:05:00", "b.txt", "", "Simple", "7"});
    QTest::newRow("event task: fired mark and path kept")
        << true
        << QStringList({"1", "07.12.2026 9:05:00", "Restart", "/kept/", "Restart(Simple)", "7"});
}

void TestEditTaskForm::modifyResetsOrKeepsFiredMark()
{
    QFETCH(bool, event);
    QFETCH(QStringList, expected);
    createFile("b.txt");
    if (!event)
        expected[TaskTable::PathColumn] = folder;
    auto &form = rig->editor;
    rig->addRow("1", "01.01.2020 1:00:00", event ? "Stand By" : "a.txt", "/kept/",
                event ? "Stand By(Monday)" : "Monday", "7");
    const int other = rig->addRow("1", "02.02.2020 2:00:00", "c.txt", "/", "Friday", "2");
    rig->table.setCurrentRow(1);
    form.EditSelectedTask();
    form.Edit2->setText("07.12.2026");
    form.Edit5->setText("07.12.2026");
    form.Edit3->setText("9:05:00");
    form.Edit6->setText("9:05:00");
    if (event) {
        form.RadioButton4->setChecked(true);
        form.RadioButton5->setChecked(true);
        form.ZephButton5->click();
    } else {
        fillFilePage("b.txt");
        form.RadioButton1->setChecked(true);
        form.ZephButton1->click();
    }
    QVERIFY(!form.isVisible());
    QCOMPARE(rig->table.rowCount(), 3);
    QCOMPARE(rig->rowCells(1), expected);
    QCOMPARE(rig->rowCells(other),
             QStringList({"1", "02.02.2020 2:00:00", "c.txt", "/", "Friday", "2"}));
    QVERIFY(!form.ModifyFileTask());
    QVERIFY(!form.ModifyEventTask());
}

void TestEditTaskForm::otherPageAddsWhileModifying()
{
    auto &form = rig->editor;
    const QStringList edited{"0", "01.01.2020 1:00:00", "a.txt", "/", "Friday", "4"};
    rig->addRow(edited[0], edited[1], edited[2], edited[3], edited[4], edited[5]);
    form.EditSelectedTask();
    QVERIFY(form.ModifyFileTask());
    form.PageControl1->setCurrentWidget(form.TabSheet2);
    form.ZephButton5->click();

    QVERIFY(!form.isVisible());
    QCOMPARE(rig->table.rowCount(), 3);
    QCOMPARE(rig->rowCells(1), edited);
    QCOMPARE(rig->table.cell(TaskTable::ModeColumn, 2), "Shut Down(Every day)");
    QVERIFY(!form.ModifyFileTask());
}

void TestEditTaskForm::storedTimeReadsBack_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<bool>("event");

    QTest::newRow("file, one-digit hour") << QTime(9, 5, 7) << false;
    QTest::newRow("file, two-digit hour") << QTime(19, 59, 59) << false;
    QTest::newRow("event, midnight") << QTime(0, 0, 0) << true;
    QTest::newRow("event, two-digit hour") << QTime(23, 0, 1) << true;
}

// Whatever the buttons write, the scheduler must read back from the Time cell.
void TestEditTaskForm::storedTimeReadsBack()
{
    QFETCH(QTime, time);
    QFETCH(bool, event);
    createFile("a.txt");
    const QDate date(2028, 2, 29);
    rig->clock.setNow(QDateTime(date, time));
    auto &form = rig->editor;
    form.NewTask();
    if (event) {
        form.ZephButton5->click();
    } else {
        fillFilePage("a.txt");
        form.ZephButton1->click();
    }
    QCOMPARE(rig->table.rowCount(), 2);
    const QString cell = rig->table.cell(TaskTable::TimeColumn, 1);
    QCOMPARE(rig->texts.toDate(kv::DateTimeText::datePart(cell)), date);
    QCOMPARE(kv::DateTimeText::toTime(kv::DateTimeText::timePart(cell)), time);
}

void TestEditTaskForm::missingFileRefusedSilently_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");

    QTest::newRow("no trailing separator") << "Docs"
                                           << "a.txt";
    QTest::newRow("no such file") << "/"
                                  << "no-such-file-here.txt";
    QTest::newRow("folder only") << "/"
                                 << "";
    QTest::newRow("both empty") << ""
                                << "";
}

void TestEditTaskForm::missingFileRefusedSilently()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    // Docs/a.txt exists, so only the joined name "...Docsa.txt" is missing.
    QVERIFY(QDir(dir->path()).mkdir("Docs"));
    createFile("Docs/a.txt");
    if (path == "Docs")
        path = folder + path;
    auto &form = rig->editor;
    form.NewTask();
    form.Edit1->setText(path);
    form.Edit4->setText(name);
    form.Edit2->setText("not a date"); // never looked at
    form.ZephButton1->click();
    QVERIFY(form.isVisible());
    QCOMPARE(rig->table.rowCount(), 1);
    QVERIFY(rig->errors.shown.isEmpty());
    QCOMPARE(rig->beeper.beeps, 0);
}

void TestEditTaskForm::badDateOrTimeRefused_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    const QString date = QStringLiteral(" - This date is not correct!");
    const QString time = QStringLiteral(" - This time is not correct!");
    QTest::newRow("file date, words") << "Edit2"
                                      << "tomorrow" << date;
    QTest::newRow("file date, empty") << "Edit2"
                                      << "" << date;
    QTest::newRow("file date, short year") << "Edit2"
                                           << "7.12.26" << date;
    QTest::newRow("file date, leading blank") << "Edit2"
                                              << " 07.12.2026" << date;
    QTest::newRow("file date, 31 November") << "Edit2"
                                            << "31.11.2026" << date;
    QTest::newRow("file time, empty") << "Edit3"
                                      << "" << time;
    QTest::newRow("file time, no seconds") << "Edit3"
                                           << "9:05" << time;
    QTest::newRow("file time, 24 hours") << "Edit3"
                                         << "24:00:00" << time;
    QTest::newRow("file time, day period") << "Edit3"
                                           << "9:05:00 PM" << time;
    QTest::newRow("file time, leading blank") << "Edit3"
                                              << " 9:05:00" << time;
    QTest::newRow("event date, words") << "Edit5"
                                       << "someday" << date;
    QTest::newRow("event time, empty") << "Edit6"
                                       << "" << time;
    QTest::newRow("event time, no seconds") << "Edit6"
                                            << "19:05" << time;
    QTest::newRow("event time, 60 seconds") << "Edit6"
                                            << "19:05:60" << time;
}

void TestEditTaskForm::badDateOrTimeRefused()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    createFile("a.txt");
    auto &form = rig->editor;
    const QStringList edited{"1", "01.01.2020 1:00:00", "a.txt", folder, "Friday", "4"};
    rig->addRow(edited[0], edited[1], edited[2], edited[3], edited[4], edited[5]);
    form.EditSelectedTask();
    form.activateWindow();
    auto *edit = form.findChild<QLineEdit *>(field);
    QVERIFY(edit);
    edit->setText(text);
    const bool event = field == "Edit5" || field == "Edit6";
    if (event)
        form.PageControl1->setCurrentWidget(form.TabSheet2);
    (event ? form.ZephButton5 : form.ZephButton1)->click();

    QCOMPARE(rig->errors.shown, QStringList('"' + text + '"' + message));
    QCOMPARE(rig->beeper.beeps, 1);
    QCOMPARE(form.focusWidget(), edit);
    QVERIFY(form.isVisible());
    QVERIFY(form.ModifyFileTask());
    QCOMPARE(rig->table.rowCount(), 2);
    QCOMPARE(rig->rowCells(1), edited);
}

void TestEditTaskForm::emptyEventDateRefusedSilently()
{
    auto &form = rig->editor;
    form.NewTask();
    form.PageControl1->setCurrentWidget(form.TabSheet2);
    form.Edit5->clear();
    form.Edit6->setText("bad"); // not reached
    form.ZephButton5->click();
    QVERIFY(form.isVisible());
    QCOMPARE(rig->table.rowCount(), 1);
    QVERIFY(rig->errors.shown.isEmpty());
    QCOMPARE(rig->beeper.beeps, 0);
}

void TestEditTaskForm::fullTableRefused_data()
{
    QTest::addColumn<bool>("event");
    QTest::newRow("file page") << false;
    QTest::newRow("event page") << true;
}

void TestEditTaskForm::fullTableRefused()
{
    QFETCH(bool, event);
    createFile("a.txt");
    for (int i = 0; i < TaskTable::kMaxTasks; ++i)
        rig->addRow("0", "01.01.2020 1:00:00", "Restart", "", "Restart(Simple)", "0");
    auto &form = rig->editor;
    form.NewTask();
    fillFilePage("a.txt");
    (event ? form.ZephButton5 : form.ZephButton1)->click();
    QCOMPARE(rig->errors.shown, QStringList(kFullTable));
    QVERIFY(form.isVisible());
    QCOMPARE(rig->table.rowCount(), TaskTable::kMaxTasks + 1);

    // A modify still works at the limit.
    form.reject();
    rig->table.setCurrentRow(TaskTable::kMaxTasks);
    form.EditSelectedTask();
    form.RadioButton7->setChecked(true);
    form.ZephButton5->click();
    QVERIFY(!form.isVisible());
    QCOMPARE(rig->table.cell(TaskTable::NameColumn, TaskTable::kMaxTasks), "Stand By");
}

void TestEditTaskForm::closingClearsMode_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("event");

    for (const bool event : {false, true}) {
        const QByteArray task = event ? "event task, " : "file task, ";
        for (const char *how : {"Cancel on File page", "Cancel on Event page", "Esc",
                                "Esc in a day list", "close box"})
            QTest::newRow(task + how) << QString::fromLatin1(how) << event;
    }
}

void TestEditTaskForm::closingClearsMode()
{
    QFETCH(QString, how);
    QFETCH(bool, event);
    auto &form = rig->editor;
    const QStringList edited{"1",
                             "01.01.2020 1:00:00",
                             event ? "Restart" : "a.txt",
                             "/",
                             event ? "Restart(Monday)" : "Monday",
                             "2"};
    rig->addRow(edited[0], edited[1], edited[2], edited[3], edited[4], edited[5]);
    form.EditSelectedTask();
    QSignalSpy finished(&form, &QDialog::finished);
    if (how == "Cancel on File page") {
        form.PageControl1->setCurrentWidget(form.TabSheet1);
        form.ZephButton2->click();
    } else if (how == "Cancel on Event page") {
        form.PageControl1->setCurrentWidget(form.TabSheet2);
        form.ZephButton4->click();
    } else if (how == "Esc") {
        QTest::keyClick(event ? form.Edit5 : form.Edit1, Qt::Key_Escape);
    } else if (how == "Esc in a day list") {
        QTest::keyClick(event ? form.ComboBox2 : form.ComboBox1, Qt::Key_Escape);
    } else {
        QVERIFY(form.close());
    }
    QVERIFY(!form.isVisible());
    QCOMPARE(finished.count(), 1);
    QVERIFY(form.result() != QDialog::Accepted);
    QVERIFY(!form.ModifyFileTask());
    QVERIFY(!form.ModifyEventTask());
    QCOMPARE(rig->rowCells(1), edited);

    form.NewTask();
    QCOMPARE(form.ZephButton1->caption(), "Add new task!");
    QCOMPARE(form.ZephButton5->caption(), "Add new task!");
    QVERIFY(form.Edit4->text().isEmpty());
    QCOMPARE(checkedEvent(form), "Shut Down");
}

// The real entry point runs a nested loop until the dialog closes.
void TestEditTaskForm::modalLoopEndsWithCancel()
{
    kv::TEditTaskForm form(rig->table, rig->errors, rig->clock, rig->beeper, rig->files, nullptr,
                           rig->texts);
    rig->addRow("0", "26.11.2007 9:05:00", "a.txt", "/docs/", "Sunday", "0");
    bool wasModal = false;
    QString shownName;
    QTimer::singleShot(0, &form, [&] {
        wasModal = form.isVisible() && form.isModal() && form.ModifyFileTask();
        shownName = form.Edit4->text();
        form.ZephButton2->click();
    });
    form.EditSelectedTask();
    QVERIFY(wasModal);
    QCOMPARE(shownName, "a.txt");
    QVERIFY(!form.isVisible());
    QVERIFY(!form.ModifyFileTask());
}

void TestEditTaskForm::blocksOnlyItsOwner_data()
{
    kv::test::ModalityProbe::addRows();
}

void TestEditTaskForm::blocksOnlyItsOwner()
{
    QFETCH(bool, ofTheOwner);
    QFETCH(int, presses);
    kv::test::ModalityProbe probe;
    QVERIFY(probe.shown());
    kv::TEditTaskForm form(rig->table, rig->errors, rig->clock, rig->beeper, rig->files,
                           &probe.owner, rig->texts);
    QTimer::singleShot(0, &form, [&] {
        probe.click(ofTheOwner);
        form.ZephButton2->click();
    });
    form.NewTask();
    QCOMPARE(probe.window(ofTheOwner).presses, presses);
}

void TestEditTaskForm::ownDialogsBlockOnlyTheMainWindow_data()
{
    QTest::addColumn<bool>("calendar");
    QTest::addColumn<bool>("ofTheOwner");
    QTest::addColumn<int>("presses");
    for (bool calendar : {true, false}) {
        const char *dialog = calendar ? "calendar" : "file chooser";
        QTest::addRow("%s, the main window", dialog) << calendar << true << 0;
        QTest::addRow("%s, a window of its own", dialog) << calendar << false << 1;
    }
}

// The tray icon answers while the editor's calendar or file chooser is open.
void TestEditTaskForm::ownDialogsBlockOnlyTheMainWindow()
{
    QFETCH(bool, calendar);
    QFETCH(bool, ofTheOwner);
    QFETCH(int, presses);
    kv::test::ModalityProbe probe;
    QVERIFY(probe.shown());
    kv::test::OpenEditTaskForm form(rig->table, rig->errors, rig->clock, rig->beeper, rig->files,
                                    &probe.owner, rig->texts);
    form.NewTask();
    QTimer::singleShot(0, &form, [&] {
        probe.click(ofTheOwner);
        if (QWidget *open = QApplication::activeModalWidget())
            open->close();
    });
    // As the program shows them, in a loop of their own.
    if (calendar)
        form.CalendarForm->exec();
    else
        kv::QtFileChooser().chooseFile(&form);
    QCOMPARE(probe.window(ofTheOwner).presses, presses);
}

void TestEditTaskForm::currentDateAndTime_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");

    QTest::newRow("File, Current Date") << "ZephButton6"
                                        << "Edit2"
                                        << "29.02.2028";
    QTest::newRow("File, Current time") << "ZephButton7"
                                        << "Edit3"
                                        << "0:00:09";
    QTest::newRow("Event, Current Date") << "ZephButton9"
                                         << "Edit5"
                                         << "29.02.2028";
    QTest::newRow("Event, Current time") << "ZephButton10"
                                         << "Edit6"
                                         << "0:00:09";
}

void TestEditTaskForm::currentDateAndTime()
{
    QFETCH(QString, button);
    QFETCH(QString, field);
    QFETCH(QString, expected);
    auto &form = rig->editor;
    form.NewTask();
    const auto edits = form.findChildren<QLineEdit *>();
    for (QLineEdit *edit : edits)
        edit->setText("x");
    rig->clock.setNow(QDateTime(QDate(2028, 2, 29), QTime(0, 0, 9)));
    form.findChild<kv::TZephButton *>(button)->click();
    for (QLineEdit *edit : edits)
        QCOMPARE(edit->text(), edit->objectName() == field ? expected : "x");
}

void TestEditTaskForm::openFile_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");

    QTest::newRow("file") << "/home/u/Docs/a.txt"
                          << "/home/u/Docs/"
                          << "a.txt";
    QTest::newRow("blanks and dots") << "/a b/c.d e.txt"
                                     << "/a b/"
                                     << "c.d e.txt";
    QTest::newRow("at the root") << "/run.sh"
                                 << "/"
                                 << "run.sh";
    QTest::newRow("cancelled") << ""
                               << "/old/"
                               << "old.txt";
}

void TestEditTaskForm::openFile()
{
    QFETCH(QString, chosen);
    QFETCH(QString, path);
    QFETCH(QString, name);
    auto &form = rig->editor;
    form.NewTask();
    form.Edit1->setText("/old/");
    form.Edit4->setText("old.txt");
    rig->files.answer = chosen;
    form.ZephButton3->click();
    QCOMPARE(rig->files.asked, 1);
    QCOMPARE(form.Edit1->text(), path);
    QCOMPARE(form.Edit4->text(), name);
}

void TestEditTaskForm::dayListIgnoresTyping_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("index");

    QTest::newRow("letter") << int(Qt::Key_F) << "F" << 7;
    QTest::newRow("small letter") << int(Qt::Key_M) << "m" << 7;
    QTest::newRow("blank") << int(Qt::Key_Space) << " " << 7;
    QTest::newRow("arrow up") << int(Qt::Key_Up) << "" << 6;
    QTest::newRow("home") << int(Qt::Key_Home) << "" << 0;
}

void TestEditTaskForm::dayListIgnoresTyping()
{
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(int, index);
    auto &form = rig->editor;
    form.NewTask();
    for (QComboBox *list : {form.ComboBox1, form.ComboBox2}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(list, &press);
        QCOMPARE(list->currentIndex(), index);
    }
}

// With the list dropped down, typing must not pick a day either.
void TestEditTaskForm::droppedDayListIgnoresTyping()
{
    auto &form = rig->editor;
    form.NewTask();
    for (QComboBox *list : {form.ComboBox1, form.ComboBox2}) {
        list->showPopup();
        QTRY_VERIFY(list->view()->isVisible());
        QTest::keyClicks(list->view(), "mo");
        QTest::keyClick(list->view(), Qt::Key_Return);
        QTRY_VERIFY(!list->view()->isVisible());
        QCOMPARE(list->currentIndex(), 7);
    }
}

void TestEditTaskForm::calendarOkWritesBothDates_data()
{
    QTest::addColumn<bool>("fromEvent");
    QTest::newRow("from the File page") << false;
    QTest::newRow("from the Event page") << true;
}

void TestEditTaskForm::calendarOkWritesBothDates()
{
    QFETCH(bool, fromEvent);
    auto &form = rig->editor;
    form.NewTask();
    form.Edit3->setText("1:02:03");
    form.Edit6->setText("4:05:06");
    form.PageControl1->setCurrentWidget(fromEvent ? form.TabSheet2 : form.TabSheet1);
    (fromEvent ? form.ZephButton11 : form.ZephButton8)->click();
    QVERIFY(rig->calendar.isVisible());
    rig->calendar.BitBtn1->click();

    QVERIFY(!rig->calendar.isVisible());
    QVERIFY(form.isVisible());
    const QString first = rig->texts.date(QDate(2007, 11, 26));
    QCOMPARE(form.Edit2->text(), first);
    QCOMPARE(form.Edit5->text(), first);
    QCOMPARE(form.Edit3->text(), "1:02:03");
    QCOMPARE(form.Edit6->text(), "4:05:06");
}

void TestEditTaskForm::calendarCancelWritesNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "Cancel";
    QTest::newRow("Esc") << "Esc";
    QTest::newRow("close box") << "close box";
}

void TestEditTaskForm::calendarCancelWritesNothing()
{
    QFETCH(QString, how);
    auto &form = rig->editor;
    auto &calendar = rig->calendar;
    form.NewTask();
    form.ZephButton8->click();
    calendar.MonthCalendar1->setSelectedDate(QDate(2030, 3, 3));
    if (how == "Cancel")
        calendar.BitBtn2->click();
    else if (how == "Esc")
        QTest::keyClick(calendar.MonthCalendar1, Qt::Key_Escape);
    else
        QVERIFY(calendar.close());
    QVERIFY(!calendar.isVisible());
    QVERIFY(form.isVisible());
    QCOMPARE(form.Edit2->text(), "07.12.2026");
    QCOMPARE(form.Edit5->text(), "07.12.2026");
}

// Both dialogs follow the main window, and stay on the screen when it sits at
// the edge.
void TestEditTaskForm::dialogsOpenCentredOverParent()
{
    QWidget main;
    main.resize(700, 400);
    main.move(40, 60);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    kv::test::OpenEditTaskForm form(rig->table, rig->errors, rig->clock, rig->beeper, rig->files,
                                    &main, rig->texts);
    kv::TCalendarForm &calendar = *form.CalendarForm;
    const QRect screen = main.screen()->availableGeometry();

    for (const QPoint at : {QPoint(40, 60), QPoint(90, 20), QPoint(screen.right() - 100, 0)}) {
        main.move(at);
        QTRY_COMPARE(main.pos(), at);
        form.NewTask();
        form.ZephButton8->click();
        for (QWidget *dialog : std::initializer_list<QWidget *>{&form, &calendar}) {
            const QRect shown = dialog->geometry();
            QVERIFY2(screen.contains(shown), qPrintable(dialog->objectName()));
            if (screen.contains(main.geometry()))
                QCOMPARE(shown.center(), main.geometry().center());
        }
        calendar.reject();
        form.reject();
    }
}

void TestEditTaskForm::keyboardReach_data()
{
    QTest::addColumn<bool>("eventTask");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QStringList>("buttons");
    QTest::newRow("File page") << false << "Edit1"
                               << QStringList{"ZephButton3", "ZephButton8", "ZephButton6",
                                              "ZephButton7", "ZephButton1", "ZephButton2"};
    QTest::newRow("Event page") << true << "RadioButton4"
                                << QStringList{"ZephButton11", "ZephButton9", "ZephButton10",
                                               "ZephButton5", "ZephButton4"};
}

// Typing at the opening goes to the page's first field, and Tab reaches every
// button of the page but no date or time field and no day list.
void TestEditTaskForm::keyboardReach()
{
    QFETCH(bool, eventTask);
    QFETCH(QString, first);
    QFETCH(QStringList, buttons);
    auto &form = rig->editor;
    rig->addRow("0", "26.11.2007 9:05:00", "Restart", "", "Restart(Monday)", "0");
    if (eventTask)
        form.EditSelectedTask();
    else
        form.NewTask();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(QApplication::focusWidget()->objectName(), first);
    QStringList reached;
    for (QWidget *at = QApplication::focusWidget(); at && !reached.contains(at->objectName());
         at = QApplication::focusWidget()) {
        reached << at->objectName();
        QTest::keyClick(at, Qt::Key_Tab);
    }
    for (const QString &button : buttons)
        QVERIFY2(reached.contains(button), qPrintable(button));
    for (const char *field : {"Edit2", "Edit3", "Edit5", "Edit6", "ComboBox1", "ComboBox2"})
        QVERIFY2(!reached.contains(field), field);
}

// A keyboard user sees which button has the focus, in the editor and in its calendar.
void TestEditTaskForm::buttonsShowTheFocus()
{
    auto &form = rig->editor;
    form.NewTask();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    const auto marked = [](kv::TZephButton *button) {
        const QImage before = button->grab().toImage();
        button->setFocus(Qt::TabFocusReason);
        return button->hasFocus() && button->grab().toImage() != before;
    };
    QVERIFY(marked(form.ZephButton3));
    form.ZephButton8->click();
    QTRY_COMPARE(QApplication::activeWindow(), form.CalendarForm);
    QVERIFY(marked(form.CalendarForm->BitBtn2));
}

QTEST_MAIN(TestEditTaskForm)
#include "tst_edittaskform.moc"
