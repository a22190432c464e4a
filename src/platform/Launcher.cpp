// SPDX-License-Identifier: GPL-3.0-or-later
#include "Launcher.h"

#include <QFile>
#include <QProcess>

#ifdef Q_OS_UNIX
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;
#endif

namespace kv {

Launcher::Launcher(QObject *parent) : QObject(parent)
{
    m_collector.setInterval(1000);
    connect(&m_collector, &QTimer::timeout, this, &Launcher::collectEnded);
}

Launcher::~Launcher()
{
    collectEnded();
}

#ifdef Q_OS_UNIX

bool Launcher::start(const QString &program, const QStringList &arguments)
{
    collectEnded();
    QList<QByteArray> texts{QFile::encodeName(program)};
    for (const QString &argument : arguments)
        texts << argument.toLocal8Bit();
    QList<char *> argv;
    for (QByteArray &text : texts)
        argv << text.data();
    argv << nullptr;

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t child = 0;
    const int failed =
        posix_spawnp(&child, argv.first(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (failed != 0)
        return false;
    m_running << child;
    m_collector.start();
    return true;
}

void Launcher::collectEnded()
{
    m_running.removeIf([](qint64 child) { return ::waitpid(pid_t(child), nullptr, WNOHANG) != 0; });
    if (m_running.isEmpty())
        m_collector.stop();
}

#else

bool Launcher::start(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

void Launcher::collectEnded() {}

#endif

} // namespace kv
