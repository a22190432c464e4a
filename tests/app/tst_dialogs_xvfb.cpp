// SPDX-License-Identifier: GPL-3.0-or-later
// The main window and the task editor under a window manager (openbox on a
// private Xvfb), wired as the program wires them: a dialog that blocks the main
// window must stay over it and keep the focus, also after a trip to the tray and
// after a dialog of its own has closed.

#include "AboutForm.h"
#include "Beeper.h"
#include "CalendarForm.h"
#include "DialogTaskEditor.h"
#include "EditTaskForm.h"
#include "Fakes.h"
#include "FileChooser.h"
#include "MainForm.h"
#include "RecordingTrayBackend.h"
#include "Scheduler.h"
#include "StandardErrorBox.h"
#include "TaskActions.h"
#include "TaskBase.h"
#include "TaskTable.h"
#include "WiredProgram.h"
#include "XvfbServer.h"
#include "ZephButton.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

using namespace kv;
using namespace kv::test;

namespace {

// The minimise button of the window's frame: the window manager minimises it,
// and the program learns of it afterwards.
bool minimiseByTheFrame(const QWidget *window)
{
    return QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"),
                                                         QString::number(window->winId())}) == 0;
}

// Whether the window manager stacks `upper` over `lower`.
bool stackedAbove(const QWidget *upper, const QWidget *lower)
{
    xcb_connection_t *x11 =
        qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    const char name[] = "_NET_CLIENT_LIST_STACKING"; // bottom first
    xcb_intern_atom_reply_t *atom =
        xcb_intern_atom_reply(x11, xcb_intern_atom(x11, 0, std::strlen(name), name), nullptr);
    if (!atom)
        return false;
    xcb_get_property_reply_t *list = xcb_get_property_reply(
        x11,
        xcb_get_property(x11, 0, xcb_setup_roots_iterator(xcb_get_setup(x11)).data->root,
                         atom->atom, XCB_ATOM_WINDOW, 0, 1024),
        nullptr);
    std::free(atom);
    if (!list)
        return false;
    const auto *windows = static_cast<const xcb_window_t *>(xcb_get_property_value(list));
    const int count = xcb_get_property_value_length(list) / int(sizeof(xcb_window_t));
    int upperAt = -1;
    int lowerAt = -1;
    for (int i = 0; i < count; ++i) {
        if (windows[i] == xcb_window_t(upper->winId()))
            upperAt = i;
        if (windows[i] == xcb_window_t(lower->winId()))
            lowerAt = i;
    }
    std::free(list);
    return lowerAt >= 0 && upperAt > lowerAt;
}

} // namespace

class TestDialogsOnX11 : public QObject
{
    Q_OBJECT

private slots:
    void editorStaysOverTheWindowItBlocks_data();
    void editorStaysOverTheWindowItBlocks();
};

void TestDialogsOnX11::editorStaysOverTheWindowItBlocks_data()
{
    QTest::addColumn<bool>("editorMinimised");
    QTest::addColumn<QString>("dialog");
    QTest::newRow("calendar") << false << "calendar";
    QTest::newRow("calendar, the editor minimised") << true << "calendar";
    QTest::newRow("the editor's error box") << false << "editor box";
    // An error of a tick while the editor is open: the window manager gives the
    // focus back to the main window.
    QTest::newRow("the main window's error box") << false << "main box";
}

void TestDialogsOnX11::editorStaysOverTheWindowItBlocks()
{
    QFETCH(bool, editorMinimised);
    QFETCH(QString, dialog);
    QTemporaryDir dir;
    Program program(dir.path());
    TMainForm &form = program.form;
    Editor &editor = program.editor;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.ZephButton1->click();
    QTRY_COMPARE(QApplication::activeWindow(), &editor);

    // To the tray, by the minimise button of either window, and back by a
    // double click on the tray icon.
    QVERIFY2(minimiseByTheFrame(editorMinimised ? static_cast<QWidget *>(&editor) : &form),
             "xdotool failed");
    QTRY_VERIFY(!form.isVisible());
    QTRY_VERIFY(!editor.windowHandle()->isExposed());
    form.TrayIconDblClick();
    QTRY_COMPARE(QApplication::activeWindow(), &editor);
    QTRY_VERIFY(stackedAbove(&editor, &form));

    if (dialog == "calendar") {
        editor.ZephButton8->click();
        QTRY_COMPARE(QApplication::activeWindow(), editor.CalendarForm);
        editor.CalendarForm->BitBtn1->click();
    } else {
        QTimer answer; // OK, once the box has the focus
        connect(&answer, &QTimer::timeout, [] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box && box->isActiveWindow())
                box->button(QMessageBox::Ok)->click();
        });
        answer.start(50);
        if (dialog == "editor box") {
            editor.Edit1->setText(dir.path() + '/');
            editor.Edit4->setText(TaskBase::defaultName());
            editor.Edit3->setText(QStringLiteral("25:99"));
            editor.ZephButton1->click();
        } else {
            program.errors.showError(QStringLiteral("I/O error 5"));
        }
    }
    QTRY_COMPARE(QApplication::activeWindow(), &editor);
    QTRY_VERIFY(stackedAbove(&editor, &form));
    // And stays so once the window manager is done.
    QTest::qWait(300);
    QCOMPARE(QApplication::activeWindow(), &editor);
    QVERIFY(stackedAbove(&editor, &form));

    // "Open" while the window is shown still puts the dialog back in front.
    form.raise();
    QTRY_VERIFY(stackedAbove(&form, &editor));
    form.Open1->trigger();
    QTRY_VERIFY(stackedAbove(&editor, &form));
    editor.reject();
}

int main(int argc, char *argv[])
{
    return test::runOnXvfb<QApplication, TestDialogsOnX11>(argc, argv,
                                                           test::XvfbServer::WithWindowManager);
}

#include "tst_dialogs_xvfb.moc"
