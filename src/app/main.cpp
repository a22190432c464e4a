#include "AboutForm.h"
#include "Beeper.h"
#include "ClockWatcher.h"
#include "DialogTaskEditor.h"
#include "EditTaskForm.h"
#include "Errors.h"
#include "FileBaseDialogs.h"
#include "FileChooser.h"
#include "Links.h"
#include "LinuxSystemActions.h"
#include "MainForm.h"
#include "Scheduler.h"
#include "SingleInstance.h"
#include "StandardErrorBox.h"
#include "StopSignals.h"
#include "SystemClock.h"
#include "TaskActions.h"
#include "TaskBase.h"
#include "TaskTable.h"
#include "WakeUpTimer.h"

#include <QApplication>
#include <QScreen>
#include <QSessionManager>
#include <QStandardPaths>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kronvale"));
    QApplication::setWindowIcon(kv::TMainForm::programIcon());
    // The window closes into the tray, never by losing its last visible window.
    QApplication::setQuitOnLastWindowClosed(false);

    const QString programFolder = QApplication::applicationDirPath();
    const QString baseFolder = kv::TaskBase::chooseFolder(
        programFolder, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));

    // From here on a kill or a logout waits for the window to close and save.
    kv::StopSignals stopSignals;

    // Two programs on one base would fire every task twice and overwrite each
    // other's file: a second start hands over to the first and ends.
    kv::SingleInstance instance(baseFolder);
    if (!instance.claim())
        return 0;

    kv::TaskTable table;
    kv::SystemClock clock;
    kv::LinuxSystemActions system;
    kv::StandardErrorBox errors;
    kv::TaskActions actions(table, system);
    kv::Scheduler scheduler(table, actions, clock, errors);
    kv::FileBaseDialogs dialogs;
    kv::DesktopLinkOpener links;
    kv::TaskBase base(table, errors, dialogs, baseFolder);
    scheduler.setBeforeAction([&] { base.SaveCurrentBase(); });

    kv::TMainForm MainForm({table, actions, scheduler, base, system, links, programFolder});
    errors.setOwner(&MainForm);
    dialogs.setOwner(&MainForm);
    kv::SystemBeeper beeper;
    kv::QtFileChooser files;
    // The editor's messages belong to it, so that closing one gives it back the focus.
    kv::StandardErrorBox editorErrors;
    kv::TEditTaskForm EditTaskForm(table, editorErrors, clock, beeper, files, &MainForm);
    editorErrors.setOwner(&EditTaskForm);
    kv::DialogTaskEditor editor(EditTaskForm);
    MainForm.setTaskEditor(&editor);
    kv::TAboutForm AboutForm(links, &MainForm);
    MainForm.setAboutForm(&AboutForm);

    // Fires each task on its second; re-armed at every tick too, which also
    // catches a change of the clock that nothing announced.
    kv::WakeUpTimer wakeUp(scheduler, clock);
    wakeUp.watch(&table);
    kv::ClockWatcher clockWatcher;
    QObject::connect(&clockWatcher, &kv::ClockWatcher::clockChanged, &wakeUp,
                     &kv::WakeUpTimer::rearm);
    QObject::connect(&clockWatcher, &kv::ClockWatcher::resumed, &wakeUp, &kv::WakeUpTimer::rearm);
    QObject::connect(MainForm.Timer1, &QTimer::timeout, &wakeUp, &kv::WakeUpTimer::rearm);
    wakeUp.rearm();

    QObject::connect(&MainForm, &kv::TMainForm::closed, &app, &QApplication::quit);
    QObject::connect(&instance, &kv::SingleInstance::activationRequested, &MainForm,
                     &kv::TMainForm::bringForward);
    // A kill or the end of the desktop session ends the program as "Exit" does.
    QObject::connect(&stopSignals, &kv::StopSignals::stopRequested, &MainForm,
                     [&] { MainForm.close(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &MainForm,
                     [&](QSessionManager &) { MainForm.close(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &MainForm, [&] {
        if (!MainForm.isClosed())
            MainForm.close();
    });

    MainForm.adjustSize();
    if (const QScreen *screen = MainForm.screen()) {
        QRect frame = MainForm.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        MainForm.move(frame.topLeft());
    }
    MainForm.show();
    return app.exec();
}
