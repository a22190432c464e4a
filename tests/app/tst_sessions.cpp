// SPDX-License-Identifier: GPL-3.0-or-later
// The built program in real sessions: X11 under a private Xvfb with openbox as
// window manager, with and without a tray host (trayer); and Wayland under a
// headless Weston. No run reaches a session bus.

#include "DateTimeText.h"
#include "ProgramRun.h"
#include "TaskBase.h"
#include "TaskTable.h"
#include "TestFiles.h"
#include "WestonServer.h"
#include "XvfbServer.h"

#include <QApplication>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QUrl>

using kv::test::copyProgram;
using kv::test::Home;
using kv::test::Program;

namespace {

const QString kNoBus = QStringLiteral("unix:path=/nonexistent");

// A server or host that the test keeps running until it goes.
struct Helper
{
    QProcess process;
    Helper(const QString &program, const QStringList &arguments,
           const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
    {
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        process.waitForStarted(5000);
    }
    ~Helper() { stop(); }
    void stop()
    {
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(1000);
    }
};

QString output(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

} // namespace

class TestSessions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void withoutTrayTheWindowIsIconified();
    void windowComesBackWhenTheTrayGoes();
    void waylandClientFiresAndSaves();

private:
    void onX11(Program &program);
    static QString windowOf(Program &program);
    static QString wmState(const QString &window);
    static void xdotool(const QStringList &arguments);

    std::unique_ptr<Helper> m_windowManager;
};

void TestSessions::initTestCase()
{
    for (const char *tool : {"openbox", "trayer", "xdotool", "xprop", "weston"})
        QVERIFY2(!QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty(), tool);
    m_windowManager = std::make_unique<Helper>(QStringLiteral("openbox"),
                                               QStringList{QStringLiteral("--sm-disable")});
    QTRY_VERIFY_WITH_TIMEOUT(
        output("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).contains(QLatin1String("window id")),
        10000);
}

void TestSessions::onX11(Program &program)
{
    program.setEnv("QT_QPA_PLATFORM", "xcb");
    program.setEnv("WAYLAND_DISPLAY", {});
    // Nor a StatusNotifier host of the developer's desktop.
    program.setEnv("DBUS_SESSION_BUS_ADDRESS", kNoBus);
}

// The main window's X id, once it has one. The tray icon's window carries the
// program's name too, but not the main window's width.
QString TestSessions::windowOf(Program &program)
{
    const QStringList windows =
        output("xdotool", {"search", "--pid", QString::number(program.process().processId()),
                           "--name", "^Kronvale v1\\.1$"})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &window : windows)
        if (output("xdotool", {"getwindowgeometry", window})
                .contains(QLatin1String("Geometry: 808x")))
            return window;
    return {};
}

// Normal, Iconic, or Withdrawn (also when the window manager took WM_STATE away).
QString TestSessions::wmState(const QString &window)
{
    const QRegularExpressionMatch state = QRegularExpression(QStringLiteral("window state: (\\w+)"))
                                              .match(output("xprop", {"-id", window, "WM_STATE"}));
    return state.hasMatch() ? state.captured(1) : QStringLiteral("Withdrawn");
}

void TestSessions::xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitCode(), 0);
}

void TestSessions::withoutTrayTheWindowIsIconified()
{
    QTemporaryDir dir;
    Home home;
    QVERIFY(copyProgram(dir.path()));
    Program program(dir.path(), home);
    onX11(program);
    program.start({"--tray"});
    QString window;
    QTRY_VERIFY_WITH_TIMEOUT(!(window = windowOf(program)).isEmpty(), 30000);
    // The login start with no tray to go to; then the user minimises it.
    for (const char *minimise : {"", "windowminimize"}) {
        if (*minimise)
            xdotool({QLatin1String(minimise), window});
        QTRY_COMPARE_WITH_TIMEOUT(wmState(window), QStringLiteral("Iconic"), 10000);
        QTest::qWait(500); // a withdrawal would have come by now
        QCOMPARE(wmState(window), QStringLiteral("Iconic"));
        // As a task bar brings it back.
        xdotool({"windowactivate", window});
        QTRY_COMPARE_WITH_TIMEOUT(wmState(window), QStringLiteral("Normal"), 10000);
    }
    program.stop();
}

void TestSessions::windowComesBackWhenTheTrayGoes()
{
    Helper trayer(QStringLiteral("trayer"),
                  {"--edge", "top", "--align", "right", "--widthtype", "request"});
    QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 10000);
    QTemporaryDir dir;
    Home home;
    QVERIFY(copyProgram(dir.path()));
    Program program(dir.path(), home);
    onX11(program);
    program.start();
    QString window;
    QTRY_VERIFY_WITH_TIMEOUT(!(window = windowOf(program)).isEmpty(), 30000);
    QTRY_COMPARE_WITH_TIMEOUT(wmState(window), QStringLiteral("Normal"), 10000);
    xdotool({"windowminimize", window});
    QTRY_COMPARE_WITH_TIMEOUT(wmState(window), QStringLiteral("Withdrawn"), 10000);

    trayer.stop();
    QTRY_COMPARE_WITH_TIMEOUT(wmState(window), QStringLiteral("Normal"), 10000);
    // With the tray gone, minimising iconifies.
    xdotool({"windowminimize", window});
    QTRY_COMPARE_WITH_TIMEOUT(wmState(window), QStringLiteral("Iconic"), 10000);
    QTest::qWait(500);
    QCOMPARE(wmState(window), QStringLiteral("Iconic"));
    // A tray that comes takes the minimised window in.
    Helper again(QStringLiteral("trayer"), {"--edge", "top"});
    QTRY_COMPARE_WITH_TIMEOUT(wmState(window), QStringLiteral("Withdrawn"), 10000);
    program.stop();
}

void TestSessions::waylandClientFiresAndSaves()
{
    QTemporaryDir dir;
    Home home;
    QVERIFY(copyProgram(dir.path()));
    kv::test::WestonServer weston;
    QVERIFY2(weston.isRunning(), "weston did not start");

    // A task a few seconds ahead, and an opener that notes what it is asked to open.
    QDateTime due = QDateTime::currentDateTime().addSecs(4);
    due.setTime(QTime(due.time().hour(), due.time().minute(), due.time().second()));
    kv::TaskTable table;
    table.writeHeader();
    table.appendTask(kv::DateTimeText().dateTime(due), QStringLiteral("report.odt"),
                     dir.path() + QLatin1Char('/'), QStringLiteral("Simple"));
    kv::TaskBase::writeBase(table, dir.filePath("KV.log"));
    kv::test::writeFile(dir.filePath("report.odt"), "a report");
    const QString opened = home.path("opened");
    QDir(home.dir.path()).mkdir("bin");
    const QString opener = home.path("bin/xdg-open");
    kv::test::writeFile(opener,
                        "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"" + opened.toUtf8() + "\"\n");
    QFile::setPermissions(opener, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // As in a Wayland session: the program chooses its platform itself.
    const auto onWayland = [&](Program &program) {
        program.setEnv("QT_QPA_PLATFORM", {});
        program.setEnv("DISPLAY", {});
        program.setEnv("WAYLAND_DISPLAY", weston.socketPath());
        program.setEnv("XDG_SESSION_TYPE", "wayland");
        program.setEnv("DBUS_SESSION_BUS_ADDRESS", kNoBus);
        program.setEnv("PATH", home.path("bin") + ':' + qEnvironmentVariable("PATH"));
        program.process().setProcessChannelMode(QProcess::SeparateChannels);
    };
    Program program(dir.path(), home);
    onWayland(program);
    program.start();
    QTRY_VERIFY_WITH_TIMEOUT(program.listening(), 30000);
    // A second start hands over and brings the window forward, as far as
    // Wayland lets a client.
    Program second(dir.path(), home);
    onWayland(second);
    second.start();
    QVERIFY(second.process().waitForFinished(30000));
    QCOMPARE(second.process().exitCode(), 0);
    QCOMPARE(second.process().readAllStandardError(), QByteArray());

    const QByteArray fired = QUrl::fromLocalFile(dir.filePath("report.odt")).toEncoded() + '\n';
    QTRY_COMPARE_WITH_TIMEOUT(kv::test::readFile(opened), fired, 20000);
    QTest::qWait(5500); // past the next five-second tick
    QCOMPARE(kv::test::readFile(opened), fired);

    program.stop();
    kv::TaskTable saved;
    kv::TaskBase::readBase(dir.filePath("KV.log"), saved);
    QCOMPARE(saved.cell(kv::TaskTable::FiredColumn, 1), QStringLiteral("1"));
    QCOMPARE(saved.cell(kv::TaskTable::StartsColumn, 1), QStringLiteral("1"));
    // Nothing that Wayland refuses a client (placing windows, a tray) is complained of:
    // the journal line of the firing is all.
    const QStringList printed = QString::fromLocal8Bit(program.process().readAllStandardError())
                                    .split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(printed.size(), 1);
    QVERIFY2(printed.first().endsWith("report.odt\": done"), qPrintable(printed.first()));
}

int main(int argc, char *argv[])
{
    return kv::test::runOnXvfb<QApplication, TestSessions>(argc, argv);
}

#include "tst_sessions.moc"
