// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QTest>

namespace kv::test {

// A private X server for tests that need a real one. Xvfb picks a free display
// number itself and reports it on its standard output.
class XvfbServer
{
public:
    XvfbServer()
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
        if (ok)
            m_display = QStringLiteral(":%1").arg(number);
    }
    ~XvfbServer()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(1000);
    }
    XvfbServer(const XvfbServer &) = delete;
    XvfbServer &operator=(const XvfbServer &) = delete;

    bool isRunning() const { return !m_display.isEmpty(); }
    // ":N", or empty when the server did not start.
    const QString &display() const { return m_display; }

private:
    QProcess m_process;
    QString m_display;
};

// Runs the tests of a Test object in an App (QApplication, QGuiApplication) on
// an X server of their own, and with no session bus: Qt would prefer a
// StatusNotifier host there to the X11 tray, and nothing may reach the
// developer's desktop.
template <typename App, typename Test> int runOnXvfb(int argc, char *argv[])
{
    XvfbServer xvfb;
    if (!xvfb.isRunning()) {
        qCritical("Xvfb did not start");
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
