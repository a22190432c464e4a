// SPDX-License-Identifier: GPL-3.0-or-later
// A burst: the fullest task list, every task due in one second, on the real
// clock, with the base saved to disk and the files handed to the desktop's
// opener as the program does it (the opener is a stand-in script that notes when
// it ran). Prints how late the last file was asked for and how late its opener
// ran. A second run saves the base again before every single action, as a
// program that saves per firing would, for comparison.
//
//   burst_latency [folder]      the base goes to a new folder inside `folder`
//                               (default: the current folder, so a real disk)
#include "Fakes.h"
#include "LinuxSystemActions.h"
#include "Scheduler.h"
#include "SystemClock.h"
#include "TaskActions.h"
#include "TaskBase.h"
#include "TaskTable.h"
#include "WakeUpTimer.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {

class TimedActions : public kv::RecordingSystemActions
{
public:
    std::function<void()> beforeEach;
    QList<QDateTime> asked;
    kv::LinuxSystemActions system;
    void openFile(const QString &name, const Done &done) override
    {
        if (beforeEach)
            beforeEach();
        asked << QDateTime::currentDateTime();
        system.openFile(name, done);
    }
};

// An xdg-open that appends the moment it ran, in ms since the epoch, to a log.
QString writeStandInOpener(const QString &folder)
{
    const QString log = QDir(folder).filePath(QStringLiteral("opened.log"));
    QFile script(QDir(folder).filePath(QStringLiteral("xdg-open")));
    if (script.open(QIODevice::WriteOnly)) {
        script.write("#!/bin/sh\necho $(( $(date +%s%N) / 1000000 )) >> '" + log.toUtf8() + "'\n");
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    qputenv("PATH", QFile::encodeName(folder) + ':' + qgetenv("PATH"));
    return log;
}

struct Result
{
    int asked = 0;
    int opened = 0;
    qint64 lastAskedMs = 0;
    qint64 lastOpenedMs = 0;
    bool errors = false;
};

Result runBurst(const QString &folder, bool saveBeforeEachAction)
{
    const QString log = writeStandInOpener(folder);
    QFile::remove(log);
    kv::TaskTable table;
    kv::SystemClock clock;
    TimedActions system;
    kv::RecordingErrorSink errors;
    kv::ScriptedBaseDialogs dialogs;
    kv::TaskActions actions(table, system);
    const kv::DateTimeText texts;
    kv::Scheduler scheduler(table, actions, clock, errors, texts);
    kv::TaskBase base(table, errors, dialogs, folder);
    scheduler.setBeforeActions([&] { base.SaveCurrentBase(); });
    if (saveBeforeEachAction)
        system.beforeEach = [&] { base.SaveCurrentBase(); };
    kv::WakeUpTimer wakeUp(scheduler, clock);

    QDateTime setAt = clock.now().addSecs(3);
    setAt.setTime(QTime(setAt.time().hour(), setAt.time().minute(), setAt.time().second()));
    // Files that are there: a missing one is told without asking the opener.
    const QString files = QDir(folder).filePath(QStringLiteral("files/"));
    QDir().mkpath(files);
    for (int i = 0; i < kv::TaskTable::kMaxTasks; ++i) {
        const QString name = QStringLiteral("task%1.txt").arg(i);
        QFile(files + name).open(QIODevice::WriteOnly);
        table.appendTask(texts.dateTime(setAt), name, files, QStringLiteral("Every day"));
    }
    base.SaveCurrentBase();
    scheduler.Timer1Timer();
    wakeUp.rearm();
    QEventLoop loop;
    QTimer::singleShot(clock.now().msecsTo(setAt) + 6000, &loop, &QEventLoop::quit);
    loop.exec();

    Result result;
    result.asked = int(system.asked.size());
    result.errors = !errors.shown.isEmpty();
    if (!system.asked.isEmpty())
        result.lastAskedMs = setAt.msecsTo(system.asked.last());
    QFile opened(log);
    if (opened.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : opened.readAll().split('\n')) {
            if (line.isEmpty())
                continue;
            ++result.opened;
            result.lastOpenedMs =
                qMax(result.lastOpenedMs, line.toLongLong() - setAt.toMSecsSinceEpoch());
        }
    }
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString where = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QTemporaryDir dir(QDir(where).filePath(QStringLiteral("burst-XXXXXX")));
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot make a folder in %s\n", qPrintable(where));
        return 2;
    }
    const Result once = runBurst(dir.path(), false);
    const Result each = runBurst(dir.path(), true);
    std::printf("%d tasks due in one second, base on %s\n", kv::TaskTable::kMaxTasks,
                qPrintable(dir.path()));
    for (const auto &[name, result] :
         {std::pair{"one save per tick:  ", once}, std::pair{"one save per firing:", each}})
        std::printf("%s asked %d, last asked %lld ms and last opened %lld ms after the set "
                    "second (%d opened)\n",
                    name, result.asked, result.lastAskedMs, result.lastOpenedMs, result.opened);
    return once.opened == kv::TaskTable::kMaxTasks && !once.errors ? 0 : 1;
}
