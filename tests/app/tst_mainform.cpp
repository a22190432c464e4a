// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on the offscreen platform with a fake clock, recorded system
// actions, scripted base dialogs and a recorded tray.

#include "AboutForm.h"
#include "AppFakes.h"
#include "AutostartEntry.h"
#include "Fakes.h"
#include "MainForm.h"
#include "RecordingTrayBackend.h"
#include "Scheduler.h"
#include "TaskActions.h"
#include "TaskBase.h"
#include "TaskGrid.h"
#include "TaskTable.h"
#include "TrayIcon.h"
#include "ZephButton.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace kv;

namespace {

// One main window with everything it works with.
struct Rig
{
    explicit Rig(const QString &folder)
        : actions(table, system), scheduler(table, actions, clock, errors),
          base(table, errors, dialogs, folder)
    {
        tray = new RecordingTrayBackend;
        form = std::make_unique<TMainForm>(
            MainFormParts{table, actions, scheduler, base, system, links, folder, tray});
        form->setTaskEditor(&editor);
        about = new TAboutForm(links, form.get());
        form->setAboutForm(about);
    }

    // What the commands did, in words.
    QStringList observed() const
    {
        QStringList seen = system.calls;
        for (const QString &call : editor.calls)
            seen << QStringLiteral("editor ") + call;
        for (const QString &link : links.opened)
            seen << QStringLiteral("link ") + link;
        for (const QString &folder : dialogs.shownIn)
            seen << QStringLiteral("dialog ") + (folder == base.folder() ? "" : folder);
        if (table.taskCount() != tasksBefore)
            seen << QStringLiteral("tasks %1").arg(table.taskCount());
        if (base.BaseFileName() != TaskBase::defaultName())
            seen << QStringLiteral("base ") + base.BaseFileName();
        if (aboutShown)
            seen << QStringLiteral("about");
        return seen;
    }

    void addTasks()
    {
        table.appendTask(QStringLiteral("07.12.2026 9:05:00"), QStringLiteral("report.odt"),
                         QStringLiteral("/docs/"), QStringLiteral("Simple"));
        table.appendTask(QStringLiteral("07.12.2026 19:30:00"), QStringLiteral("Shut Down"),
                         QString(), QStringLiteral("Shut Down(Every day)"));
        table.setCurrentRow(1);
        tasksBefore = table.taskCount();
    }

    // The about box is modal: note it and close it as soon as it shows.
    void answerAboutBox()
    {
        QTimer::singleShot(0, about, [this] {
            aboutShown = about->isVisible();
            about->accept();
        });
    }

    TaskTable table;
    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(8, 0))};
    RecordingSystemActions system;
    RecordingErrorSink errors;
    ScriptedBaseDialogs dialogs;
    test::RecordingLinkOpener links;
    test::RecordingTaskEditor editor;
    TaskActions actions;
    Scheduler scheduler;
    TaskBase base;
    RecordingTrayBackend *tray;
    std::unique_ptr<TMainForm> form;
    TAboutForm *about;
    int tasksBefore = 0;
    bool aboutShown = false;
};

QColor pixelAt(const QImage &image, QPoint at)
{
    return image.pixelColor(at);
}

// The grid as the window's layout gives it: rows 20 pixels high, each under a
// one-pixel silver line, and its colours.
constexpr int kRowHeight = 20;
constexpr int kRowPitch = kRowHeight + 1;
const QColor kLines(192, 192, 192);
const QColor kBody(255, 255, 193);
const QColor kTitle(196, 255, 179);
const QColor kGreen(0, 179, 0);

} // namespace

class TestMainForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void windowLayout();
    void shortcuts_data();
    void shortcuts();
    void commandsShareOperations_data();
    void commandsShareOperations();
    void commandsWithoutTaskDoNothing_data();
    void commandsWithoutTaskDoNothing();
    void editPassesTheKindOfTask_data();
    void editPassesTheKindOfTask();
    void helpPageBesideTheProgram_data();
    void helpPageBesideTheProgram();
    void startAtLoginCommand();
    void paintingWithOnlyTheTitleRow();
    void paintingOfTheSelectedRow_data();
    void paintingOfTheSelectedRow();
    void clickSelectsTaskNotTitle();
    void titleRowOpenedIntoAnEmptyTableIsOrdinary();
    void titleRowStaysOnTop();
    void minimiseHidesInTrayAndOpenRestores_data();
    void minimiseHidesInTrayAndOpenRestores();
    void openBringsBackADialogLeftOpen();
    void everyCloseSaves_data();
    void everyCloseSaves();
    void closeThatCannotSave_data();
    void closeThatCannotSave();
    void tasksFireWhileInTray();
    void trayIconConfigured();
    void aboutBoxBuiltWhenFirstAsked();

private:
    void showActive();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Rig> m_rig;
};

void TestMainForm::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_rig = std::make_unique<Rig>(m_dir->path());
}

void TestMainForm::cleanup()
{
    m_rig.reset();
    m_dir.reset();
}

void TestMainForm::showActive()
{
    m_rig->form->show();
    QApplication::setActiveWindow(m_rig->form.get());
    QVERIFY(QTest::qWaitForWindowActive(m_rig->form.get()));
}

void TestMainForm::windowLayout()
{
    TMainForm &form = *m_rig->form;
    showActive();
    QCOMPARE(form.centralWidget()->size(), QSize(808, 400));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(form.windowTitle(), QStringLiteral("Kronvale v1.1"));
    // "Play now!" opens with the focus and leads the tab order; the grid is no tab stop.
    QCOMPARE(QApplication::focusWidget(), form.ZephButton5);
    const QList<TZephButton *> order{form.ZephButton5, form.ZephButton1, form.ZephButton2,
                                     form.ZephButton3, form.ZephButton4};
    for (int i = 1; i < order.size(); ++i)
        QCOMPARE(order[i - 1]->nextInFocusChain(), order[i]);
    QCOMPARE(form.GridOfFiles->focusPolicy(), Qt::ClickFocus);
    // Artwork of the stated sizes.
    QCOMPARE(form.Image1->pixmap().size(), QSize(451, 393));
    QCOMPARE(form.ZephButton1->glyph().size(), QSize(23, 22));
    QCOMPARE(TMainForm::programIcon().availableSizes().value(0), QSize(16, 16));
}

void TestMainForm::shortcuts_data()
{
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("Ctrl+Alt+S save base") << QKeySequence("Ctrl+Alt+S") << QStringList{"dialog "};
    QTest::newRow("Ctrl+Alt+O open base") << QKeySequence("Ctrl+Alt+O") << QStringList{"dialog "};
    QTest::newRow("Ctrl+Alt+N new base")
        << QKeySequence("Ctrl+Alt+N") << QStringList{"tasks 0", "base KV_new.log"};
    QTest::newRow("Ctrl+S nothing") << QKeySequence("Ctrl+S") << QStringList{};
    QTest::newRow("Ctrl+O nothing") << QKeySequence("Ctrl+O") << QStringList{};
    QTest::newRow("Ctrl+N new task") << QKeySequence("Ctrl+N") << QStringList{"editor new"};
    QTest::newRow("Ctrl+E edit task")
        << QKeySequence("Ctrl+E") << QStringList{"editor edit 1 file"};
    QTest::newRow("F9 play now") << QKeySequence("F9") << QStringList{"open /docs/report.odt"};
    QTest::newRow("Ctrl+D delete task") << QKeySequence("Ctrl+D") << QStringList{"tasks 1"};
    QTest::newRow("Ctrl+A about") << QKeySequence("Ctrl+A") << QStringList{"about"};
}

void TestMainForm::shortcuts()
{
    QFETCH(QKeySequence, key);
    QFETCH(QStringList, expected);
    m_rig->addTasks();
    showActive();
    m_rig->answerAboutBox();
    QTest::keySequence(m_rig->form.get(), key);
    QCOMPARE(m_rig->observed(), expected);
}

void TestMainForm::commandsShareOperations_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("expected");
    const QStringList play{"open /docs/report.odt"};
    QTest::newRow("Playnaw1") << "Playnaw1" << play;
    QTest::newRow("ZephButton5") << "ZephButton5" << play;
    QTest::newRow("PlayNow2") << "PlayNow2" << play;
    QTest::newRow("Newtask1") << "Newtask1" << QStringList{"editor new"};
    QTest::newRow("ZephButton1") << "ZephButton1" << QStringList{"editor new"};
    QTest::newRow("Newtask2") << "Newtask2" << QStringList{"editor new"};
    QTest::newRow("Edittask1") << "Edittask1" << QStringList{"editor edit 1 file"};
    QTest::newRow("ZephButton2") << "ZephButton2" << QStringList{"editor edit 1 file"};
    QTest::newRow("Edittask2") << "Edittask2" << QStringList{"editor edit 1 file"};
    QTest::newRow("DeleteTask1") << "DeleteTask1" << QStringList{"tasks 1"};
    QTest::newRow("ZephButton3") << "ZephButton3" << QStringList{"tasks 1"};
    QTest::newRow("Deletetask2") << "Deletetask2" << QStringList{"tasks 1"};
    QTest::newRow("Deletealltasks1") << "Deletealltasks1" << QStringList{"tasks 0"};
    QTest::newRow("ZephButton4") << "ZephButton4" << QStringList{"tasks 0"};
    QTest::newRow("Deletealltasks2") << "Deletealltasks2" << QStringList{"tasks 0"};
    QTest::newRow("Ostrovahomepage1")
        << "Ostrovahomepage1" << QStringList{"link " + links::homePage()};
    QTest::newRow("Kronvalehomepage1")
        << "Kronvalehomepage1" << QStringList{"link " + links::productPage()};
    QTest::newRow("About1") << "About1" << QStringList{"about"};
}

void TestMainForm::commandsShareOperations()
{
    QFETCH(QString, command);
    QFETCH(QStringList, expected);
    m_rig->addTasks();
    showActive();
    m_rig->answerAboutBox();
    if (auto *button = m_rig->form->findChild<TZephButton *>(command))
        button->click();
    else if (auto *action = m_rig->form->findChild<QAction *>(command))
        action->trigger();
    else
        QFAIL("no such command");
    QCOMPARE(m_rig->observed(), expected);
}

void TestMainForm::commandsWithoutTaskDoNothing_data()
{
    QTest::addColumn<QString>("command");
    for (const char *name :
         {"Playnaw1", "Edittask1", "DeleteTask1", "Deletealltasks1", "ZephButton2", "ZephButton3"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

// With only the title row, the commands on tasks must not take row 0 for one.
void TestMainForm::commandsWithoutTaskDoNothing()
{
    QFETCH(QString, command);
    TaskTable &table = m_rig->table;
    QCOMPARE(table.rowCount(), 1);
    if (auto *button = m_rig->form->findChild<TZephButton *>(command))
        button->click();
    else if (auto *action = m_rig->form->findChild<QAction *>(command))
        action->trigger();
    else
        QFAIL("no such command");
    QCOMPARE(m_rig->observed(), QStringList{});
    QCOMPARE(table.rowCount(), 1);
    QCOMPARE(table.cell(TaskTable::TimeColumn, 0), QStringLiteral("Time"));
}

void TestMainForm::editPassesTheKindOfTask_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("file") << "report.odt"
                          << "editor edit 2 file";
    QTest::newRow("Shut Down") << "Shut Down"
                               << "editor edit 2 event";
    QTest::newRow("Restart") << "Restart"
                             << "editor edit 2 event";
    QTest::newRow("Stand By") << "Stand By"
                              << "editor edit 2 event";
    QTest::newRow("Stand Off") << "Stand Off"
                               << "editor edit 2 event";
    // Only the exact event names make an event task.
    QTest::newRow("shut down lower case") << "shut down"
                                          << "editor edit 2 file";
    QTest::newRow("Restart with a blank") << "Restart "
                                          << "editor edit 2 file";
}

void TestMainForm::editPassesTheKindOfTask()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    m_rig->addTasks();
    m_rig->table.setCell(TaskTable::NameColumn, 2, name);
    m_rig->table.setCurrentRow(2);
    m_rig->form->ZephButton2Click();
    QCOMPARE(m_rig->observed(), QStringList{expected});
}

void TestMainForm::helpPageBesideTheProgram_data()
{
    QTest::addColumn<bool>("besideProgram");
    QTest::addColumn<bool>("inWorkingFolder");
    QTest::newRow("beside the program") << true << false;
    QTest::newRow("missing") << false << false;
    QTest::newRow("only in the working folder") << false << true;
}

void TestMainForm::helpPageBesideTheProgram()
{
    QFETCH(bool, besideProgram);
    QFETCH(bool, inWorkingFolder);
    QTemporaryDir working;
    const QString saved = QDir::currentPath();
    QDir::setCurrent(working.path());
    auto touch = [](const QString &path) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    };
    if (besideProgram)
        touch(m_dir->filePath("help.html"));
    if (inWorkingFolder)
        touch(working.filePath("help.html"));
    showActive();
    QTest::keyClick(m_rig->form.get(), Qt::Key_F1);
    QDir::setCurrent(saved);
    const QStringList expected =
        besideProgram ? QStringList{"open " + m_dir->filePath("help.html")} : QStringList{};
    QCOMPARE(m_rig->observed(), expected);
}

void TestMainForm::startAtLoginCommand()
{
    TMainForm &form = *m_rig->form;
    auto captions = [](const QMenu *menu) {
        QStringList seen;
        for (const QAction *action : menu->actions())
            seen << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return seen;
    };
    QCOMPARE(captions(form.PopupMenu2), (QStringList{"Open", "-", "Start at login",
                                                     "Wake the computer for tasks", "-", "Close"}));
    QCOMPARE(captions(form.menuBar()->findChild<QMenu *>("File1")).mid(3),
             (QStringList{"-", "Start at login", "Wake the computer for tasks", "-", "Exit"}));
    QVERIFY(!form.Startatlogin1->isEnabled());
    QVERIFY(!form.Wakethecomputer1->isEnabled() && !form.Wakethecomputer1->isChecked());

    AutostartEntry entry(m_dir->filePath("config"), links::applicationId(), "/usr/bin/kronvale",
                         m_rig->errors);
    entry.writeUnlessPresent();
    form.setLoginStart(&entry);
    QVERIFY(form.Startatlogin1->isEnabled() && form.Startatlogin1->isChecked());
    form.Startatlogin1->trigger();
    QVERIFY(!form.Startatlogin1->isChecked());
    QVERIFY(!entry.isEnabled());

    // A folder in the entry's place, and the menu opened: the tick shows the
    // entry; switching fails, says why, and the tick stays as the entry is.
    QVERIFY(QFile::remove(entry.path()) && QDir().mkpath(entry.path()));
    form.Startatlogin1->setChecked(true);
    emit form.PopupMenu2->aboutToShow();
    QVERIFY(!form.Startatlogin1->isChecked());
    form.Startatlogin1->trigger();
    QVERIFY(!form.Startatlogin1->isChecked());
    QCOMPARE(m_rig->errors.shown.size(), 1);
}

void TestMainForm::paintingWithOnlyTheTitleRow()
{
    TMainForm &form = *m_rig->form;
    showActive();
    const QImage image = form.GridOfFiles->viewport()->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            QVERIFY2(pixelAt(image, {x, y}) != kGreen, "green painted");
    // Below the title row there is no framed box in column 0: all body colour.
    for (int y = 22; y < 60; ++y)
        for (int x = 0; x < 24; ++x)
            QCOMPARE(pixelAt(image, {x, y}), kBody);
    // The title row itself is drawn in the title colour.
    QCOMPARE(pixelAt(image, {60, 1}), kTitle);
}

void TestMainForm::paintingOfTheSelectedRow_data()
{
    QTest::addColumn<bool>("gridFocused");
    QTest::newRow("grid without focus") << false;
    QTest::newRow("grid with focus") << true;
}

void TestMainForm::paintingOfTheSelectedRow()
{
    QFETCH(bool, gridFocused);
    TMainForm &form = *m_rig->form;
    m_rig->addTasks();
    // A fired task: its mark must never show.
    m_rig->table.setCell(TaskTable::FiredColumn, 2, QStringLiteral("1"));
    m_rig->table.setCurrentRow(2);
    showActive();
    if (gridFocused) {
        form.GridOfFiles->setFocus();
        QTRY_VERIFY(form.GridOfFiles->hasFocus());
        form.GridOfFiles->setCurrentIndex(m_rig->table.index(2, 1));
    }
    QApplication::processEvents();
    const QImage image = form.GridOfFiles->viewport()->grab().toImage();
    const int row2 = 2 * kRowPitch + kRowPitch / 2;
    const int row1 = kRowPitch + kRowPitch / 2;
    const QColor highlight =
        form.GridOfFiles->palette().color(QPalette::Active, QPalette::Highlight);
    // Column 1 is the focused cell when the grid has the focus.
    QCOMPARE(pixelAt(image, {150, row2}), gridFocused ? highlight : kGreen);
    QCOMPARE(pixelAt(image, {500, row2}), kGreen);
    // The other task row keeps the body colour.
    QCOMPARE(pixelAt(image, {150, row1}), kBody);

    // Column 0: a box with a one-pixel frame, filled in the cell's colour, no text.
    for (int row : {1, 2}) {
        const int top = row * kRowPitch;
        const QColor fill = row == 2 ? kGreen : kBody;
        QCOMPARE(pixelAt(image, {0, top + 10}), kLines);
        QCOMPARE(pixelAt(image, {22, top + 10}), kLines);
        QCOMPARE(pixelAt(image, {10, top}), kLines);
        for (int y = top + 1; y < top + kRowHeight; ++y)
            for (int x = 1; x < 22; ++x)
                QCOMPARE(pixelAt(image, {x, y}), fill);
    }
}

// Drags with the left button along the title row, from x by dx.
static void dragInTitleRow(QWidget *viewport, int x, int dx)
{
    QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(x, 5));
    const QPointF to(x + dx, 5);
    QMouseEvent move(QEvent::MouseMove, to, viewport->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, to.toPoint());
}

void TestMainForm::clickSelectsTaskNotTitle()
{
    TMainForm &form = *m_rig->form;
    m_rig->addTasks();
    showActive();
    QWidget *viewport = form.GridOfFiles->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(100, 2 * kRowPitch + 5));
    QCOMPARE(m_rig->table.currentRow(), 2);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(100, 5));
    QCOMPARE(m_rig->table.currentRow(), 2);
    // Dragging a column border in the title row resizes the column.
    const int border = form.GridOfFiles->columnWidth(0) + form.GridOfFiles->columnWidth(1) - 1;
    const int before = form.GridOfFiles->columnWidth(1);
    dragInTitleRow(viewport, border, 30);
    QCOMPARE(form.GridOfFiles->columnWidth(1), before + 30);
    QCOMPARE(m_rig->table.currentRow(), 2);
}

// "Open base" into an empty table leaves the title row an ordinary row: the mouse
// and the keys select it and it is painted so, but the row commands pass it by.
void TestMainForm::titleRowOpenedIntoAnEmptyTableIsOrdinary()
{
    TMainForm &form = *m_rig->form;
    TaskGrid &grid = *form.GridOfFiles;
    {
        Rig other(m_dir->path());
        other.addTasks();
        TaskBase::writeBase(other.table, m_dir->filePath("two.log"));
    }
    m_rig->dialogs.openPath = m_dir->filePath("two.log");
    form.Openbase1->trigger();
    QCOMPARE(m_rig->table.taskCount(), 2);
    m_rig->dialogs.shownIn.clear();
    m_rig->tasksBefore = 2;
    m_rig->table.setCurrentRow(2);
    showActive();

    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(100, 5));
    QCOMPARE(m_rig->table.currentRow(), 0);
    QCOMPARE(pixelAt(grid.viewport()->grab().toImage(), {500, 10}), kGreen);
    QTest::keyClick(&grid, Qt::Key_Down);
    QCOMPARE(m_rig->table.currentRow(), 1);
    QTest::keyClick(&grid, Qt::Key_Up);
    QCOMPARE(m_rig->table.currentRow(), 0);
    for (QAction *command : {form.Playnaw1, form.Edittask1, form.DeleteTask1})
        command->trigger();
    QCOMPARE(m_rig->observed(), QStringList{});
}

// The title row is a fixed row: task rows scroll under it, never it away.
void TestMainForm::titleRowStaysOnTop()
{
    TMainForm &form = *m_rig->form;
    TaskGrid &grid = *form.GridOfFiles;
    for (int i = 1; i <= 40; ++i)
        m_rig->table.appendTask(
            QStringLiteral("07.12.2026 9:%1:00").arg(i, 2, 10, QLatin1Char('0')),
            QStringLiteral("task%1.odt").arg(i), QStringLiteral("/docs/"),
            QStringLiteral("Simple"));
    m_rig->table.setCurrentRow(40);
    showActive();
    QScrollBar *scroll = grid.verticalScrollBar();
    QTRY_VERIFY(scroll->value() > 0);

    const QImage image = grid.viewport()->grab().toImage();
    QCOMPARE(pixelAt(image, {60, 1}), kTitle);
    QCOMPARE(pixelAt(image, {60, kRowPitch + 5}), kBody);

    // A click on the title row picks neither it nor the task row under it.
    QWidget *viewport = grid.viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(100, 5));
    QCOMPARE(m_rig->table.currentRow(), 40);

    // A row that comes current under the title row is scrolled into sight.
    const int under = grid.rowAt(kRowPitch - 1);
    QVERIFY(under > 1);
    m_rig->table.setCurrentRow(under);
    QCOMPARE(grid.rowViewportPosition(under), kRowPitch);
    QTest::keyClick(&grid, Qt::Key_Up);
    QCOMPARE(m_rig->table.currentRow(), under - 1);
    QCOMPARE(grid.rowViewportPosition(under - 1), kRowPitch);

    // Its column borders still resize while the grid is scrolled.
    const int border = grid.columnWidth(0) + grid.columnWidth(1) - 1;
    const int before = grid.columnWidth(1);
    dragInTitleRow(viewport, border, 20);
    QCOMPARE(grid.columnWidth(1), before + 20);
}

void TestMainForm::minimiseHidesInTrayAndOpenRestores_data()
{
    QTest::addColumn<bool>("byDoubleClick");
    QTest::newRow("Open in the tray menu") << false;
    QTest::newRow("double click on the tray icon") << true;
}

void TestMainForm::minimiseHidesInTrayAndOpenRestores()
{
    QFETCH(bool, byDoubleClick);
    TMainForm &form = *m_rig->form;
    showActive();
    form.move(120, 90);
    const QPoint at = form.pos();
    // "Open" while the window seems shown (on Wayland also when minimised, which
    // the program never learns there) brings it to the front where it is.
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QVERIFY(QTest::qWaitForWindowActive(&other));
    form.Open1->trigger();
    QTRY_COMPARE(QApplication::activeWindow(), &form);
    QCOMPARE(form.pos(), at);

    form.setWindowState(Qt::WindowMinimized);
    QTRY_VERIFY(!form.isVisible());

    if (byDoubleClick) {
        emit m_rig->tray->mouseMessage(TrayMouseMessage::LeftButtonUp);
        emit m_rig->tray->mouseMessage(TrayMouseMessage::LeftButtonDoubleClick);
        emit m_rig->tray->mouseMessage(TrayMouseMessage::LeftButtonUp);
    } else {
        form.Open1->trigger();
    }
    QTRY_VERIFY(form.isVisible());
    QVERIFY(!(form.windowState() & Qt::WindowMinimized));
    QCOMPARE(form.pos(), at);
}

void TestMainForm::openBringsBackADialogLeftOpen()
{
    TMainForm &form = *m_rig->form;
    showActive();
    QDialog dialog(&form);
    dialog.setWindowModality(Qt::WindowModal);
    bool back = false;
    QTimer::singleShot(0, &dialog, [&] {
        // Some window managers minimise a dialog together with its owner.
        dialog.setWindowState(Qt::WindowMinimized);
        form.setWindowState(Qt::WindowMinimized);
        QTRY_VERIFY(!form.isVisible());
        form.Open1->trigger();
        QTRY_VERIFY(form.isVisible());
        back = dialog.isVisible() && !(dialog.windowState() & Qt::WindowMinimized);
        dialog.reject();
    });
    dialog.exec();
    QVERIFY(back);
}

void TestMainForm::everyCloseSaves_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("inTray");
    QTest::newRow("close box") << "close" << false;
    QTest::newRow("Exit") << "Exit1" << false;
    QTest::newRow("tray Close") << "Close1" << false;
    QTest::newRow("tray Close while in the tray") << "Close1" << true;
}

void TestMainForm::everyCloseSaves()
{
    QFETCH(QString, how);
    QFETCH(bool, inTray);
    TMainForm &form = *m_rig->form;
    m_rig->addTasks();
    showActive();
    if (inTray) {
        form.setWindowState(Qt::WindowMinimized);
        QTRY_VERIFY(!form.isVisible());
    }
    QSignalSpy closed(&form, &TMainForm::closed);
    if (how == "close") {
        form.close();
    } else {
        QAction *action = form.findChild<QAction *>(how);
        QVERIFY(action);
        action->trigger();
    }
    QCOMPARE(closed.count(), 1);
    QVERIFY(form.isClosed());

    TaskTable reread;
    TaskBase::readBase(m_dir->filePath("KV.log"), reread);
    QCOMPARE(reread.taskCount(), 2);
    QCOMPARE(reread.cell(TaskTable::NameColumn, 2), QStringLiteral("Shut Down"));
}

void TestMainForm::closeThatCannotSave_data()
{
    QTest::addColumn<bool>("stopWhileAsked");
    QTest::newRow("the user stays, then a stop signal comes") << false;
    QTest::newRow("a stop signal while the user is asked") << true;
}

void TestMainForm::closeThatCannotSave()
{
    QFETCH(bool, stopWhileAsked);
    TMainForm &form = *m_rig->form;
    m_rig->addTasks();
    showActive();
    // The base becomes something nothing can be saved to.
    QVERIFY(QFile::remove(m_dir->filePath("KV.log")));
    QVERIFY(QDir(m_dir->path()).mkdir("KV.log"));
    QSignalSpy closed(&form, &TMainForm::closed);
    if (stopWhileAsked)
        m_rig->dialogs.whileAsked = [&] { form.closeUnattended(); };
    form.close();
    QCOMPARE(m_rig->dialogs.closeQuestions.size(), 1);
    QCOMPARE(closed.count(), stopWhileAsked ? 1 : 0);
    QCOMPARE(form.isVisible(), !stopWhileAsked);
    form.closeUnattended();
    QCOMPARE(closed.count(), 1);
    QVERIFY(form.isClosed());
    // Nobody answers a stop: the table went to a rescue copy, once.
    const QStringList copies =
        QDir(m_dir->path()).entryList({"KV.log.unsaved-*[0-9]"}, QDir::Files); // not its record
    QCOMPARE(copies.size(), 1);
    TaskTable rescued;
    TaskBase::readBase(m_dir->filePath(copies.first()), rescued);
    QCOMPARE(rescued.taskCount(), 2);
}

void TestMainForm::tasksFireWhileInTray()
{
    TMainForm &form = *m_rig->form;
    QCOMPARE(form.Timer1->interval(), 5000);
    QVERIFY(form.Timer1->isActive());
    m_rig->table.appendTask(QStringLiteral("07.12.2026 8:00:03"), QStringLiteral("alarm.ogg"),
                            QStringLiteral("/sounds/"), QStringLiteral("Simple"));
    showActive();
    form.setWindowState(Qt::WindowMinimized);
    QTRY_VERIFY(!form.isVisible());
    form.Timer1Timer();
    m_rig->clock.advance(5000);
    form.Timer1Timer();
    QCOMPARE(m_rig->system.calls, QStringList{"open /sounds/alarm.ogg"});
    QVERIFY(form.Timer1->isActive());
}

void TestMainForm::trayIconConfigured()
{
    TMainForm &form = *m_rig->form;
    QVERIFY(form.TrayIcon->active());
    QCOMPARE(form.TrayIcon->toolTip(), QStringLiteral("Tidewatch"));
    QCOMPARE(form.TrayIcon->popupMenu(), form.PopupMenu2);
    // Added empty, emptied again by the idle animation, then icon and tip
    // together, and once more when the posted re-tip arrives.
    QCoreApplication::processEvents();
    QStringList calls;
    for (const RecordingTrayBackend::Call &call : m_rig->tray->calls)
        calls << QStringLiteral("%1 %2 %3")
                     .arg(call.operation == RecordingTrayBackend::Add ? "add" : "modify")
                     .arg(call.data.icon.isNull() ? "-" : "icon")
                     .arg(call.data.tip);
    QCOMPARE(calls, (QStringList{"add - ", "modify - ", "modify icon Tidewatch",
                                 "modify icon Tidewatch"}));
    // A single click does nothing.
    emit m_rig->tray->mouseMessage(TrayMouseMessage::LeftButtonUp);
    QVERIFY(!form.isVisible());
}

// The start does not wait for the about box: it is built at its first showing,
// and once.
void TestMainForm::aboutBoxBuiltWhenFirstAsked()
{
    TMainForm &form = *m_rig->form;
    form.setAboutForm(static_cast<TAboutForm *>(nullptr));
    int built = 0;
    form.setAboutForm([&] {
        ++built;
        m_rig->about = new TAboutForm(m_rig->links, &form);
        return m_rig->about;
    });
    showActive();
    QCOMPARE(built, 0);
    for (int showing = 1; showing <= 2; ++showing) {
        bool shown = false;
        QTimer::singleShot(0, &form, [&] {
            shown = m_rig->about->isVisible();
            m_rig->about->accept();
        });
        form.findChild<QAction *>(QStringLiteral("About1"))->trigger();
        QVERIFY(shown);
        QCOMPARE(built, 1);
    }
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
