// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The built program (KV_PROGRAM) as a child process, with folders of its own.

#include "SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace kv::test {

// A home, data, configuration and runtime folder for the programs of one test.
struct Home
{
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    QString runtime() const { return path("runtime"); }
    QString data() const { return path("data/kronvale"); }
    Home()
    {
        QDir(dir.path()).mkpath("runtime");
        QFile::setPermissions(runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

// One run of a copy of the program, offscreen unless told otherwise.
class Program
{
public:
    Program(const QString &folder, const Home &home, const QString &tmp = QDir::tempPath())
        : m_folder(folder), m_runtime(home.runtime()), m_autostart(home.path("config/autostart"))
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        // The start at login and every other file of the user's go here, not
        // into the user's own home.
        env.insert("HOME", home.dir.path());
        env.insert("XDG_RUNTIME_DIR", home.runtime());
        env.insert("XDG_DATA_HOME", home.path("data"));
        env.insert("XDG_CONFIG_HOME", home.path("config"));
        env.insert("XDG_CACHE_HOME", home.path("cache"));
        env.insert("TMPDIR", tmp);
        // Notices stay off the user's desktop.
        env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
        m_process.setProcessEnvironment(env);
        m_process.setProgram(QDir(folder).filePath("kronvale"));
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    ~Program()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    QProcess &process() { return m_process; }
    // Empty: left out of the program's environment.
    void setEnv(const QString &name, const QString &value)
    {
        QProcessEnvironment env = m_process.processEnvironment();
        if (value.isEmpty())
            env.remove(name);
        else
            env.insert(name, value);
        m_process.setProcessEnvironment(env);
    }
    void start(const QStringList &arguments = {})
    {
        m_process.setArguments(arguments);
        m_process.start();
    }
    // Running and answering on its instance socket.
    bool listening() const
    {
        return UnixLocalChannel().send(SingleInstance(m_folder, m_runtime).serverName(), {}, 0);
    }
    // Also with its task base read: the instance socket comes before, the start
    // at login entry after.
    bool started() const { return listening() && !QDir(m_autostart).isEmpty(); }
    void stop(int signalNumber = SIGTERM)
    {
        ::kill(pid_t(m_process.processId()), signalNumber);
        QVERIFY(m_process.waitForFinished(30000));
        QCOMPARE(m_process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_process.exitCode(), 0);
    }

private:
    QString m_folder;
    QString m_runtime;
    QString m_autostart;
    QProcess m_process;
};

// A copy of the built program in `folder`, which is then its base folder.
inline bool copyProgram(const QString &folder)
{
    const QString copy = QDir(folder).filePath("kronvale");
    return QFile::copy(QStringLiteral(KV_PROGRAM), copy) &&
           QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace kv::test
