// SPDX-License-Identifier: GPL-3.0-or-later
#include "Launcher.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace kv {

// Reads a child's standard error without waiting: keeps its end, drops the
// rest. Programs that the child started may hold the pipe long after the child
// has ended; closing it under them would kill them at their next message, so it
// is read to its end before it goes.
class ErrorPipe : public QObject
{
public:
    ErrorPipe(int fd, QObject *parent)
        : QObject(parent), m_fd(fd), m_notifier(fd, QSocketNotifier::Read, this)
    {
        connect(&m_notifier, &QSocketNotifier::activated, this, &ErrorPipe::read);
    }
    ~ErrorPipe() override { ::close(m_fd); }

    void read()
    {
        constexpr qsizetype kKept = 4096;
        char buffer[4096];
        for (;;) {
            const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
            if (got > 0) {
                m_end.append(buffer, got);
                if (m_end.size() > 2 * kKept)
                    m_end.remove(0, m_end.size() - kKept);
                continue;
            }
            if (got < 0 && errno == EINTR)
                continue;
            if (got == 0 || errno != EAGAIN) {
                m_notifier.setEnabled(false);
                m_atEnd = true;
                if (m_orphan)
                    deleteLater();
            }
            return;
        }
    }

    // The last line so far, where a program says how it ended (the ones before
    // are often the shell's complaints about what it tried on the way); the
    // pipe goes once read to its end.
    QString takeLastLine()
    {
        read();
        const QByteArray text = m_end.trimmed();
        const QString line = QString::fromLocal8Bit(text.sliced(text.lastIndexOf('\n') + 1));
        m_orphan = true;
        if (m_atEnd)
            deleteLater();
        return line.trimmed();
    }

private:
    int m_fd;
    QSocketNotifier m_notifier;
    QByteArray m_end;
    bool m_atEnd = false;
    bool m_orphan = false;
};

namespace {

// The parts of a spawn that every child shares: a session of its own, and the
// signal settings of a fresh process.
class SpawnSettings
{
public:
    SpawnSettings()
    {
        posix_spawnattr_init(&attributes);
        sigset_t none;
        sigemptyset(&none);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK |
                                                  POSIX_SPAWN_SETSIGDEF);
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
    ~SpawnSettings()
    {
        posix_spawn_file_actions_destroy(&files);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSettings(const SpawnSettings &) = delete;
    SpawnSettings &operator=(const SpawnSettings &) = delete;

    posix_spawnattr_t attributes;
    posix_spawn_file_actions_t files;
};

} // namespace

Launcher::Launcher(QObject *parent) : QObject(parent)
{
    connect(&m_collector, &QTimer::timeout, this, &Launcher::collectEnded);
}

Launcher::~Launcher()
{
    m_collector.stop();
    for (const Child &child : std::as_const(m_running))
        ::waitpid(pid_t(child.pid), nullptr, WNOHANG);
}

bool Launcher::watch(const QString &program, const QStringList &arguments, Ended ended)
{
    QList<QByteArray> texts{QFile::encodeName(program)};
    for (const QString &argument : arguments)
        texts << argument.toLocal8Bit();
    QList<char *> argv;
    for (QByteArray &text : texts)
        argv << text.data();
    argv << nullptr;

    int errors[2];
    if (::pipe2(errors, O_CLOEXEC) != 0)
        return false;
    SpawnSettings settings;
    posix_spawn_file_actions_addopen(&settings.files, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&settings.files, errors[1], STDERR_FILENO);
    pid_t child = 0;
    const int failed = posix_spawnp(&child, argv.first(), &settings.files, &settings.attributes,
                                    argv.data(), environ);
    ::close(errors[1]);
    if (failed != 0) {
        ::close(errors[0]);
        return false;
    }
    ::fcntl(errors[0], F_SETFL, O_NONBLOCK);
    m_running << Child{child, std::move(ended), new ErrorPipe(errors[0], this)};
    collectEnded();
    return true;
}

QString Launcher::run(const QString &fileName, const QString &folder)
{
    const QByteArray file = QFile::encodeName(fileName);
    char *argv[] = {const_cast<char *>(file.constData()), nullptr};
    SpawnSettings settings;
    posix_spawn_file_actions_addopen(&settings.files, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&settings.files, STDOUT_FILENO, STDERR_FILENO);
    posix_spawn_file_actions_addchdir_np(&settings.files, QFile::encodeName(folder).constData());
    pid_t child = 0;
    // Reports a failed exec too, with its errno.
    const int failed =
        posix_spawn(&child, file.constData(), &settings.files, &settings.attributes, argv, environ);
    if (failed != 0)
        return QString::fromLocal8Bit(std::strerror(failed));
    m_running << Child{child, {}, {}};
    collectEnded();
    return {};
}

void Launcher::collectEnded()
{
    QList<std::pair<Child, int>> ended;
    m_running.removeIf([&ended](const Child &child) {
        int status = 0;
        if (::waitpid(pid_t(child.pid), &status, WNOHANG) == 0)
            return false;
        if (child.ended)
            ended.emplace_back(child,
                               WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
        return true;
    });
    // Soon for an outcome somebody waits for, seldom for the rest.
    const bool awaited =
        std::any_of(m_running.cbegin(), m_running.cend(), [](const Child &c) { return c.ended; });
    if (m_running.isEmpty())
        m_collector.stop();
    else
        m_collector.start(awaited ? 50 : 1000);
    for (const auto &[child, status] : std::as_const(ended))
        child.ended(status, child.errors ? child.errors->takeLastLine() : QString());
}

} // namespace kv
