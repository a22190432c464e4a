// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace kv::test {

// A private X server for tests that need a real one. Xvfb picks a free display
// number itself and reports it on its standard output. Asked for one, a window
// manager (openbox) runs on it too, so that windows get frames, stack, take the
// focus and minimise as on a desktop; it keeps its files in a folder of its own.
class XvfbServer
{
public:
    enum Manager
    {
        NoWindowManager,
        WithWindowManager
    };

    explicit XvfbServer(Manager manager = NoWindowManager)
    {
        m_process.setProgram(QStringLiteral("Xvfb"));
        m_process.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"),
                                QStringLiteral("-screen"), QStringLiteral("0"),
                                QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                                QStringLiteral("tcp")});
        m_process.start();
        if (!m_process.waitForStarted(5000))
            return;
        QByteArray out;
        const QDeadlineTimer deadline(10000);
        while (!out.contains('\n') && !deadline.hasExpired() &&
               m_process.state() == QProcess::Running)
            if (m_process.waitForReadyRead(int(deadline.remainingTime())))
                out += m_process.readAllStandardOutput();
        bool ok = false;
        const int number = out.trimmed().toInt(&ok);
        if (!ok)
            return;
        const QString display = QStringLiteral(":%1").arg(number);
        if (manager == NoWindowManager || startWindowManager(display))
            m_display = display;
    }
    ~XvfbServer()
    {
        for (QProcess *process : {&m_manager, &m_process}) {
            if (process->state() == QProcess::NotRunning)
                continue;
            process->terminate();
            if (!process->waitForFinished(5000))
                process->kill();
            process->waitForFinished(1000);
        }
    }
    XvfbServer(const XvfbServer &) = delete;
    XvfbServer &operator=(const XvfbServer &) = delete;

    bool isRunning() const { return !m_display.isEmpty(); }
    // ":N", or empty when the server (or its window manager) did not start.
    const QString &display() const { return m_display; }

private:
    // Openbox runs its start-up command once it manages the screen.
    bool startWindowManager(const QString &display)
    {
        if (!m_home.isValid())
            return false;
        const QDir home(m_home.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral(".cache")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral(".local/share")));
        const QString ready = home.filePath(QStringLiteral("ready"));
        m_manager.setProcessEnvironment(env);
        // It complains of menus it does not find; nothing a test needs.
        m_manager.setStandardOutputFile(QProcess::nullDevice());
        m_manager.setStandardErrorFile(QProcess::nullDevice());
        m_manager.start(QStringLiteral("openbox"),
                        {QStringLiteral("--sm-disable"), QStringLiteral("--startup"),
                         QStringLiteral("touch ") + ready});
        if (!m_manager.waitForStarted(5000))
            return false;
        const QDeadlineTimer deadline(10000);
        while (!QFileInfo::exists(ready) && !deadline.hasExpired() &&
               m_manager.state() == QProcess::Running)
            QThread::msleep(20);
        return QFileInfo::exists(ready);
    }

    QProcess m_process;
    QProcess m_manager;
    QTemporaryDir m_home;
    QString m_display;
};

// Runs the tests of a Test object in an App (QApplication, QGuiApplication) on
// an X server of their own, with a window manager when asked, and with no
// session bus: Qt would prefer a StatusNotifier host there to the X11 tray, and
// nothing may reach the developer's desktop.
template <typename App, typename Test>
int runOnXvfb(int argc, char *argv[], XvfbServer::Manager manager = XvfbServer::NoWindowManager)
{
    XvfbServer xvfb(manager);
    if (!xvfb.isRunning()) {
        qCritical("Xvfb (or its window manager) did not start");
        return 1;
    }
    qputenv("DISPLAY", xvfb.display().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    App app(argc, argv);
    Test test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace kv::test
