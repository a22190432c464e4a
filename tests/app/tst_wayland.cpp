// SPDX-License-Identifier: GPL-3.0-or-later
// A native Wayland client, under a headless Weston without XWayland: the
// dialogs, built in this process, and the built program, whose requests to the
// compositor it logs (WAYLAND_DEBUG) for the test to read.
#include "AboutForm.h"
#include "AppFakes.h"
#include "Beeper.h"
#include "CalendarForm.h"
#include "DateTimeText.h"
#include "EditTaskForm.h"
#include "Fakes.h"
#include "FileChooser.h"
#include "MockBus.h"
#include "ProgramRun.h"
#include "StandardErrorBox.h"
#include "TaskBase.h"
#include "TaskTable.h"
#include "TestFiles.h"
#include "WestonServer.h"

#include <QApplication>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTimer>

using namespace kv;
using namespace kv::test;

namespace {

// The titles of the windows that a client's log shows it mapping.
QStringList titlesIn(const QByteArray &log)
{
    QStringList titles;
    static const QRegularExpression title(
        QStringLiteral("xdg_toplevel@\\d+\\.set_title\\(\"([^\"]*)\"\\)"));
    for (auto match = title.globalMatch(QString::fromUtf8(log)); match.hasNext();)
        titles << match.next().captured(1);
    return titles;
}

class NoBeeper : public Beeper
{
public:
    void beep() override {}
};

class NoFiles : public FileChooser
{
public:
    QString chooseFile(QWidget *) override { return {}; }
};

// A StatusNotifier host as a desktop's panel keeps it: the program goes to the tray.
bool startTrayWatcher(DBusMock &watcher)
{
    const QString interface = QStringLiteral("org.kde.StatusNotifierWatcher");
    return watcher.waitUntilServing() &&
           watcher.call(QStringLiteral("AddProperty"),
                        {interface, QStringLiteral("IsStatusNotifierHostRegistered"),
                         QVariant::fromValue(QDBusVariant(true))})
                   .type() == QDBusMessage::ReplyMessage &&
           watcher.call(QStringLiteral("AddProperty"),
                        {interface, QStringLiteral("ProtocolVersion"),
                         QVariant::fromValue(QDBusVariant(0))})
                   .type() == QDBusMessage::ReplyMessage &&
           watcher.addMethod(interface, QStringLiteral("RegisterStatusNotifierItem"),
                             QStringLiteral("s"), {}, {});
}

} // namespace

class TestWayland : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void dialogsOfferNoMinimise_data();
    void dialogsOfferNoMinimise();
    void warningIsANoticeAlone_data();
    void warningIsANoticeAlone();
};

void TestWayland::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName().startsWith(QLatin1String("wayland")),
             qPrintable(QGuiApplication::platformName()));
}

void TestWayland::dialogsOfferNoMinimise_data()
{
    QTest::addColumn<QString>("dialog");
    for (const char *dialog : {"about box", "task editor", "calendar", "error box"})
        QTest::newRow(dialog) << dialog;
}

// What a desktop's own frame follows; Qt's own decoration draws its buttons
// whatever the flags.
void TestWayland::dialogsOfferNoMinimise()
{
    QFETCH(QString, dialog);
    QWidget owner;
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    RecordingLinkOpener links;
    TAboutForm about(links, &owner);
    TaskTable table;
    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(8, 0))};
    RecordingErrorSink errors;
    NoBeeper beeper;
    NoFiles files;
    TEditTaskForm editor(table, errors, clock, beeper, files, &owner);
    Qt::WindowFlags flags;
    if (dialog == "about box") {
        flags = about.windowFlags();
    } else if (dialog == "task editor") {
        flags = editor.windowFlags();
    } else if (dialog == "calendar") {
        flags = editor.CalendarForm->windowFlags();
    } else {
        StandardErrorBox box(&owner);
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto *open = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            seen = open;
            if (open) {
                flags = open->windowFlags();
                open->close();
            }
        });
        box.showError(QStringLiteral("File not found"));
        QVERIFY(seen);
    }
    // A message box is a sheet, which Qt takes for a dialog off macOS.
    QVERIFY((flags & Qt::WindowType_Mask) == Qt::Dialog ||
            (flags & Qt::WindowType_Mask) == Qt::Sheet);
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
}

void TestWayland::warningIsANoticeAlone_data()
{
    QTest::addColumn<bool>("server");
    QTest::newRow("notification server") << true;
    QTest::newRow("none") << false;
}

// A Shut Down due in a while, whose warning is up at once; the program ends long
// before it is due, and its system bus leads nowhere.
void TestWayland::warningIsANoticeAlone()
{
    QFETCH(bool, server);
    PrivateBus bus;
    QVERIFY(bus.isRunning());
    std::unique_ptr<DBusMock> notifications;
    std::unique_ptr<DBusMock> tray;
    if (server) {
        notifications = std::make_unique<DBusMock>(
            bus, "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
            QStringList{"--template", "notification_daemon"});
        QVERIFY2(notifications->waitUntilServing(), "python3-dbusmock is missing");
        tray = std::make_unique<DBusMock>(
            bus, "org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
            QStringList{"org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                        "org.kde.StatusNotifierWatcher"});
        QVERIFY(startTrayWatcher(*tray));
    }
    QTemporaryDir dir;
    Home home;
    QVERIFY(copyProgram(dir.path()));
    TaskTable table;
    table.writeHeader();
    table.appendTask(DateTimeText().dateTime(QDateTime::currentDateTime().addSecs(50)),
                     QStringLiteral("Shut Down"), {}, QStringLiteral("Shut Down(Simple)"));
    TaskBase::writeBase(table, dir.filePath("KV.log"));
    const auto onWayland = [&](kv::test::Program &program) {
        program.setEnv("QT_QPA_PLATFORM", {});
        program.setEnv("DISPLAY", {});
        program.setEnv("WAYLAND_DISPLAY", qEnvironmentVariable("WAYLAND_DISPLAY"));
        program.setEnv("XDG_SESSION_TYPE", "wayland");
        program.setEnv("WAYLAND_DEBUG", "client");
        program.setEnv("DBUS_SESSION_BUS_ADDRESS", QString::fromUtf8(bus.address()));
        program.setEnv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent");
        program.setEnv("LANGUAGE", "en");
        program.process().setProcessChannelMode(QProcess::SeparateChannels);
    };
    kv::test::Program program(dir.path(), home);
    onWayland(program);
    // Into the tray where there is one, so that the main window is not shown yet.
    program.start({"--tray"});
    QByteArray log;
    const auto titles = [&] {
        log += program.process().readAllStandardError();
        return titlesIn(log);
    };
    if (!server) {
        QTRY_VERIFY_WITH_TIMEOUT(titles().contains("Shut Down"), 30000);
        program.stop();
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(!notifications->calls().isEmpty() && program.started(), 30000);
    QList<MockCall> notices;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            notices.clear();
            for (const MockCall &call : notifications->calls())
                if (call.method == "Notify")
                    notices << call;
            return !notices.isEmpty();
        }(),
        10000);
    const MockCall &notice = notices.constFirst();
    QCOMPARE(notice.args.value(3).toString(), QStringLiteral("Shut Down"));
    const QStringList actions = notice.args.value(5).toStringList();
    QVERIFY2(actions.contains("cancel") && actions.contains("postpone-15") &&
                 actions.contains("default"),
             qPrintable(actions.join(u',')));
    QCOMPARE(qdbus_cast<QVariantMap>(notice.args.value(6)).value("urgency").toInt(), 2);
    QTest::qWait(1000); // a window would be up by now
    QVERIFY2(!titles().contains("Shut Down"), qPrintable(titles().join(u',')));
    QVERIFY2(!titles().contains("Kronvale v1.1"), qPrintable(titles().join(u',')));

    // A second start brings the window from the tray.
    kv::test::Program second(dir.path(), home);
    onWayland(second);
    second.setEnv("WAYLAND_DEBUG", {});
    second.start();
    QVERIFY(second.process().waitForFinished(30000));
    QCOMPARE(second.process().exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(titles().contains("Kronvale v1.1"), 10000);
    program.stop();
}

int main(int argc, char *argv[])
{
    // Widgets draw in shared memory. The EGL driver that Qt would load for
    // nothing is unloaded at the end, and what it keeps for the process's life
    // then counts as leaked.
    qputenv("QT_WAYLAND_CLIENT_BUFFER_INTEGRATION", "none");
    qputenv("QT_LOGGING_RULES", "qt.qpa.wayland.warning=false");
    return kv::test::runOnWeston<QApplication, TestWayland>(argc, argv);
}

#include "tst_wayland.moc"
