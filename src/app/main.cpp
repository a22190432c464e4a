// SPDX-License-Identifier: GPL-3.0-or-later
#include "AboutForm.h"
#include "AdvanceWarnings.h"
#include "AutostartEntry.h"
#include "Beeper.h"
#include "ClockWatcher.h"
#include "CommandLine.h"
#include "DeferredIconStyle.h"
#include "DialogTaskEditor.h"
#include "EditTaskForm.h"
#include "Errors.h"
#include "FileBaseDialogs.h"
#include "FileChooser.h"
#include "ForecastText.h"
#include "HelperWakeAlarm.h"
#include "InstallLayout.h"
#include "Links.h"
#include "LinuxSystemActions.h"
#include "LogindSleepInhibitor.h"
#include "MainForm.h"
#include "ModalReturn.h"
#include "Notices.h"
#include "Notifications.h"
#include "ProgramStop.h"
#include "QtPlatform.h"
#include "Scheduler.h"
#include "SingleInstance.h"
#include "StandardErrorBox.h"
#include "StartWindow.h"
#include "SystemClock.h"
#include "TaskActions.h"
#include "TaskBase.h"
#include "TaskGrid.h"
#include "TaskTable.h"
#include "Translations.h"
#include "TrayIcon.h"
#include "UserFolders.h"
#include "UserSettings.h"
#include "WakeCommand.h"
#include "WakeForTasks.h"
#include "WakeUpTimer.h"
#include "WarningForm.h"
#include "WarningPlace.h"

#include <QApplication>
#include <QLocale>
#include <QSessionManager>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <optional>

int main(int argc, char *argv[])
{
    const kv::CommandLine options = kv::readCommandLine(argc, argv);
    if (options.exitStatus)
        return *options.exitStatus;

    kv::QtPlatform platform;
    const QByteArray activationToken = kv::SingleInstance::activationToken();
    QApplication app(argc, argv);
    platform.release();
    // The desktop's style, but with no image plugin loaded for the menu bar.
    QApplication::setStyle(new kv::DeferredIconStyle);
    // Before the first window, whose texts are set as it is built.
    kv::Translations translations(QLocale::system().uiLanguages());
    translations.install();
    QApplication::setApplicationName(QStringLiteral("kronvale"));
    QApplication::setDesktopFileName(kv::links::applicationId());
    const QString programFolder = QApplication::applicationDirPath();
    const kv::InstallLayout layout(programFolder);
    layout.addIconsToTheme();
    QApplication::setWindowIcon(kv::TMainForm::builtInIcon());
    // The window closes into the tray, never by losing its last visible window.
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt's own window frame on Wayland offers minimise on the dialogs too.
    std::optional<kv::ModalReturn> modalReturn;
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        modalReturn.emplace();

    const QString dataFolder = kv::UserFolders::programData();
    const QString baseFolder = layout.baseFolder(dataFolder);

    // From here on a kill or a logout ends the program as "Exit" does, table
    // saved, also while the start is still showing a message.
    kv::ProgramStop programStop;

    kv::StandardErrorBox errors;
    if (baseFolder.isEmpty()) {
        errors.showError(kv::InstallLayout::noBaseFolder());
        return 1;
    }
    // Two programs on one base would fire every task twice and overwrite each
    // other's file: a second start hands over to the first and ends.
    kv::SingleInstance instance(baseFolder);
    switch (instance.claim(activationToken)) {
    case kv::SingleInstance::Claim::Ours:
        break;
    case kv::SingleInstance::Claim::HandedOver:
        return 0;
    case kv::SingleInstance::Claim::Refused:
        qWarning("%s", qUtf8Printable(instance.refusal()));
        if (!programStop.requested())
            errors.showError(instance.refusal());
        return 1;
    }

    kv::TaskTable table;
    kv::SystemClock clock;
    kv::LinuxSystemActions system;
    kv::TaskActions actions(table, system);
    kv::Scheduler scheduler(table, actions, clock, errors);
    kv::FileBaseDialogs dialogs;
    kv::DesktopLinkOpener links;
    kv::TaskBase base(table, errors, dialogs, baseFolder, dataFolder);
    // The machine woken for a task is held awake until the task fires; the hold
    // goes before the actions, a Stand By among them perhaps.
    kv::HelperWakeAlarm wakeAlarm(layout.wakeAlarmHelper());
    kv::LogindSleepInhibitor sleepInhibitor;
    kv::WakeForTasks wakeForTasks(scheduler, clock, wakeAlarm, sleepInhibitor);
    scheduler.setBeforeActions([&] {
        wakeForTasks.tasksFired();
        base.SaveCurrentBase();
    });

    kv::TMainForm MainForm({table, actions, scheduler, base, system, links, programFolder});
    QObject::connect(&programStop, &kv::ProgramStop::closeWindow, &MainForm,
                     &kv::TMainForm::closeUnattended);
    errors.setOwner(&MainForm);
    dialogs.setOwner(&MainForm);
    kv::SystemBeeper beeper;
    kv::QtFileChooser files;
    // The editor's messages belong to it, so that closing one gives it back the focus.
    kv::StandardErrorBox editorErrors;
    // The dialogs are built when first opened: the start shows the main window only.
    std::unique_ptr<kv::TEditTaskForm> EditTaskForm;
    kv::DialogTaskEditor editor([&] {
        EditTaskForm = std::make_unique<kv::TEditTaskForm>(table, editorErrors, clock, beeper,
                                                           files, &MainForm);
        editorErrors.setOwner(EditTaskForm.get());
        return EditTaskForm.get();
    });
    MainForm.setTaskEditor(&editor);
    std::unique_ptr<kv::TAboutForm> AboutForm;
    MainForm.setAboutForm([&] {
        AboutForm = std::make_unique<kv::TAboutForm>(links, &MainForm);
        return AboutForm.get();
    });

    // Fires each task on its second; re-armed at every tick too, which also
    // catches a change of the clock that nothing announced.
    kv::WakeUpTimer wakeUp(scheduler, clock);
    wakeUp.watch(&table);
    QObject::connect(MainForm.Timer1, &QTimer::timeout, &wakeUp, &kv::WakeUpTimer::rearm);
    QObject::connect(&wakeUp, &kv::WakeUpTimer::rearmed, &wakeForTasks, &kv::WakeForTasks::update);
    wakeUp.rearm();

    // A minute's warning before the machine goes off, on the screen and as a
    // notification (on Wayland as a notification alone where it can be); every firing in the
    // journal, and a failed one told.
    kv::AdvanceWarnings warnings(scheduler, clock);
    warnings.watch(&table);
    QObject::connect(MainForm.Timer1, &QTimer::timeout, &warnings, &kv::AdvanceWarnings::update);
    QObject::connect(&wakeUp, &kv::WakeUpTimer::woke, &warnings, &kv::AdvanceWarnings::update);
    QObject::connect(&warnings, &kv::AdvanceWarnings::occurrencesChanged, &wakeUp,
                     &kv::WakeUpTimer::rearm);
    kv::DesktopNotifications notifications;
    notifications.keepRecord(instance.noticeRecordPath());
    kv::WarningWindows warningWindows(warnings, scheduler.texts());
    kv::WarningNotices warningNotices(warnings, notifications, scheduler.texts());
    if (kv::WarningPlace::noticeAlone(QGuiApplication::platformName()))
        warningWindows.openOnlyUnnoticed(warningNotices);
    QObject::connect(&warningNotices, &kv::WarningNotices::windowAsked, &MainForm,
                     &kv::TMainForm::bringForward);
    kv::FailureNotices failureNotices(notifications, *MainForm.TrayIcon, scheduler.texts());
    scheduler.setOnReport([&failureNotices](const kv::Scheduler::Report &report) {
        std::fprintf(stderr, "%s\n", qPrintable(report.line()));
        failureNotices.tell(report);
    });
    QObject::connect(&MainForm, &kv::TMainForm::playFailed, &failureNotices,
                     &kv::FailureNotices::tellPlayFailed);
    kv::UserSettings settings;
    kv::WakeCommand wakeCommand(
        *MainForm.Wakethecomputer1, settings, wakeForTasks, wakeAlarm,
        [&failureNotices](const QString &why) { failureNotices.tellWakeFailed(why); });
    MainForm.GridOfFiles->setRowToolTip([&scheduler, &clock](int row) {
        return kv::ForecastText::toolTip(scheduler, row, clock.now());
    });
    warnings.update();

    // A set clock and a resume re-arm everything. The watch listens on the
    // system bus, so it starts once the window is up; the tick re-arms anyway,
    // and a first re-arm catches what changed before.
    std::unique_ptr<kv::ClockWatcher> clockWatcher;
    const auto watchTheClock = [&] {
        clockWatcher = std::make_unique<kv::ClockWatcher>();
        const kv::ClockWatcher *watcher = clockWatcher.get();
        for (const auto changed : {&kv::ClockWatcher::clockChanged, &kv::ClockWatcher::resumed})
            QObject::connect(watcher, changed, &wakeUp, &kv::WakeUpTimer::rearm);
        QObject::connect(watcher, &kv::ClockWatcher::resumed, &wakeForTasks,
                         &kv::WakeForTasks::resumed);
        for (const auto changed : {&kv::ClockWatcher::clockChanged, &kv::ClockWatcher::resumed})
            QObject::connect(watcher, changed, &warnings, &kv::AdvanceWarnings::update);
        wakeUp.rearm();
    };

    QObject::connect(&MainForm, &kv::TMainForm::closed, &app, &QApplication::quit);
    QObject::connect(&instance, &kv::SingleInstance::activationRequested, &MainForm,
                     &kv::TMainForm::bringForward);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &MainForm,
                     &kv::TMainForm::closeUnattended);

    // Login start: on unless the user has switched it off in the entry.
    kv::AutostartEntry loginStart(kv::AutostartEntry::userConfigFolder(),
                                  kv::links::applicationId(), QApplication::applicationFilePath(),
                                  errors);
    MainForm.setLoginStart(&loginStart);
    // The autostart entry starts the program at login; a session manager that
    // restarted it as well would start a second copy.
    QObject::connect(&app, &QGuiApplication::saveStateRequest, &app, [](QSessionManager &manager) {
        manager.setRestartHint(QSessionManager::RestartNever);
    });

    if (!programStop.requested()) {
        kv::showAtStart(MainForm, options.tray, MainForm.TrayIcon->hostPresent());
        // What the window does not need waits until it is up.
        QTimer::singleShot(0, &MainForm, [&] {
            MainForm.useThemeIcon();
            watchTheClock();
            loginStart.writeUnlessPresent();
        });
    }
    return programStop.exec();
}
