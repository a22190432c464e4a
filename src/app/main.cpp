#include "Errors.h"
#include "FileBaseDialogs.h"
#include "LinuxSystemActions.h"
#include "Scheduler.h"
#include "StandardErrorBox.h"
#include "SystemClock.h"
#include "TaskActions.h"
#include "TaskBase.h"
#include "TaskTable.h"

#include <QApplication>
#include <QHeaderView>
#include <QStandardPaths>
#include <QTableView>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kronvale"));

    kv::TaskTable table;
    kv::SystemClock clock;
    kv::LinuxSystemActions system;
    kv::StandardErrorBox errors;
    kv::TaskActions actions(table, system);
    kv::Scheduler scheduler(table, actions, clock, errors);
    kv::FileBaseDialogs dialogs;
    kv::TaskBase base(table, errors, dialogs,
                      kv::TaskBase::chooseFolder(
                          QApplication::applicationDirPath(),
                          QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));
    scheduler.setBeforeAction([&] { base.SaveCurrentBase(); });
    QObject::connect(&app, &QApplication::aboutToQuit, [&] { base.saveAtClose(); });

    QTableView view;
    view.setWindowTitle(kv::applicationTitle());
    view.setModel(&table);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.horizontalHeader()->hide();
    view.verticalHeader()->hide();
    view.resize(808, 400);
    errors.setOwner(&view);
    dialogs.setOwner(&view);
    view.show();
    base.loadAtStart();

    QTimer timer1;
    timer1.setInterval(5000);
    QObject::connect(&timer1, &QTimer::timeout, [&] { scheduler.Timer1Timer(); });
    timer1.start();

    return app.exec();
}
