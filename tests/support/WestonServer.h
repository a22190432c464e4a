// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A headless Weston of the test's own, without XWayland: its socket in a
// runtime folder of its own, which the clients of the test share.

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace kv::test {

class WestonServer
{
public:
    WestonServer()
    {
        QFile::setPermissions(m_runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // Pixman draws, so that a screenshot sees what the clients show.
        m_process.start(QStringLiteral("weston"),
                        {QStringLiteral("--backend=headless-backend.so"),
                         QStringLiteral("--use-pixman"), QStringLiteral("--socket=") + socket(),
                         QStringLiteral("--idle-time=0"), QStringLiteral("--no-config"),
                         QStringLiteral("--log=") + QDir(m_runtime.path()).filePath("weston.log")});
        if (!m_process.waitForStarted(5000))
            return;
        const QDeadlineTimer deadline(15000);
        while (!QFileInfo::exists(QDir(m_runtime.path()).filePath(socket())) &&
               m_process.state() == QProcess::Running && !deadline.hasExpired())
            QThread::msleep(50);
        m_running = m_process.state() == QProcess::Running &&
                    QFileInfo::exists(QDir(m_runtime.path()).filePath(socket()));
    }
    ~WestonServer()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }
    WestonServer(const WestonServer &) = delete;
    WestonServer &operator=(const WestonServer &) = delete;

    bool isRunning() const { return m_running; }
    static QString socket() { return QStringLiteral("kronvale-weston"); }
    // For WAYLAND_DISPLAY: the clients' runtime folders are their own.
    QString socketPath() const { return QDir(m_runtime.path()).filePath(socket()); }
    QString runtime() const { return m_runtime.path(); }
    QString log() const { return QDir(m_runtime.path()).filePath("weston.log"); }

private:
    QTemporaryDir m_runtime;
    QProcess m_process;
    bool m_running = false;
};

// Runs `Test` in a Wayland client of a Weston of its own; fails when Weston
// does not start.
template <typename App, typename Test> int runOnWeston(int argc, char *argv[])
{
    WestonServer weston;
    if (!weston.isRunning()) {
        qCritical("weston did not start");
        return 1;
    }
    qputenv("XDG_RUNTIME_DIR", weston.runtime().toLocal8Bit());
    qputenv("WAYLAND_DISPLAY", weston.socketPath().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "wayland");
    qunsetenv("DISPLAY");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    App app(argc, argv);
    Test test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace kv::test
