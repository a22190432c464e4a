// SPDX-License-Identifier: GPL-3.0-or-later
// Desktop notifications against python3-dbusmock's notification daemon on a
// private bus that stands in for the session bus.
#include "MockBus.h"
#include "Notifications.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using kv::test::MockCall;

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
// A file name that would be a link, and break the markup, if read as markup.
const QString kFileName = QStringLiteral("<a href=\"x\">R&D</a> \"1 > 0\".ogg");

} // namespace

class TestNotifications : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void showsAndWithdraws();
    void actionChosenOnTheServer();
    void withdrawnBeforeTheServerAnswered();
    void bodyShownAsText_data();
    void bodyShownAsText();
    void leftBehindByACrashAreWithdrawn();
    void noBus();
    void noServer(); // the last: it stops the server

private:
    // Shows a notice and waits until the server has taken it; its server id.
    uint shown(kv::DesktopNotifications &notifications, const kv::Notice &notice,
               quint32 *number = nullptr);

    std::unique_ptr<kv::test::PrivateBus> m_bus;
    std::unique_ptr<kv::test::DBusMock> m_server;
    uint m_lastId = 0; // the mock numbers its notices from 1
};

void TestNotifications::initTestCase()
{
    m_bus = std::make_unique<kv::test::PrivateBus>();
    QVERIFY2(m_bus->isRunning(), "the private bus did not start");
    // Before anything in this process touches the session bus.
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus->address());
    m_server = std::make_unique<kv::test::DBusMock>(
        *m_bus, kService, kPath,
        QStringList{QStringLiteral("--template"), QStringLiteral("notification_daemon")});
    QVERIFY2(m_server->waitUntilServing(), "python3-dbusmock is missing");
}

void TestNotifications::init()
{
    QCOMPARE(m_server->call(QStringLiteral("ClearCalls")).type(), QDBusMessage::ReplyMessage);
}

uint TestNotifications::shown(kv::DesktopNotifications &notifications, const kv::Notice &notice,
                              quint32 *number)
{
    QSignalSpy answered(&notifications, &kv::Notifications::answered);
    const quint32 n = notifications.show(notice);
    if (number)
        *number = n;
    if (!answered.wait(5000) || answered.first().value(1).toBool() != true)
        return 0;
    return ++m_lastId;
}

void TestNotifications::showsAndWithdraws()
{
    kv::DesktopNotifications notifications;
    quint32 number = 0;
    const uint id =
        shown(notifications, {"Shut Down", "At 07.12.2026 23:00:00", true, {"cancel", "Cancel"}},
              &number);
    QVERIFY(id != 0);
    const QList<MockCall> calls = m_server->calls();
    QCOMPARE(calls.size(), 2);
    QCOMPARE(calls.first().method, QStringLiteral("GetCapabilities"));
    const QVariantList args = calls.last().args;
    QCOMPARE(calls.last().method, QStringLiteral("Notify"));
    QCOMPARE(args.size(), 8);
    QCOMPARE(args.at(0).toString(), QStringLiteral("Kronvale"));
    QCOMPARE(args.at(3).toString(), QStringLiteral("Shut Down"));
    QCOMPARE(args.at(4).toString(), QStringLiteral("At 07.12.2026 23:00:00"));
    QCOMPARE(args.at(5).toStringList(), QStringList({"cancel", "Cancel"}));
    // Critical urgency, as a byte; it never expires by itself.
    const QVariant urgency = qdbus_cast<QVariantMap>(args.at(6)).value(QStringLiteral("urgency"));
    QCOMPARE(urgency.metaType(), QMetaType::fromType<uchar>());
    QCOMPARE(urgency.toInt(), 2);
    QCOMPARE(args.at(7).toInt(), 0);

    notifications.withdraw(number);
    const QList<MockCall> closed = m_server->waitForCalls(3);
    QCOMPARE(closed.size(), 3);
    QCOMPARE(closed.last().method, QStringLiteral("CloseNotification"));
    QCOMPARE(closed.last().args.value(0).toUInt(), id);
}

void TestNotifications::actionChosenOnTheServer()
{
    kv::DesktopNotifications notifications;
    QSignalSpy invoked(&notifications, &kv::Notifications::actionInvoked);
    quint32 number = 0;
    const uint id =
        shown(notifications, {"Restart", "", true, {"postpone-15", "Postpone"}}, &number);
    QVERIFY(id != 0);
    const QString interface = kService;
    // Another program's notice, then ours.
    QVERIFY(m_server->emitSignal(interface, "ActionInvoked", "us", {id + 100, "cancel"}));
    QVERIFY(m_server->emitSignal(interface, "ActionInvoked", "us", {id, "postpone-15"}));
    QVERIFY(invoked.wait(5000));
    QTest::qWait(100);
    QCOMPARE(invoked.size(), 1);
    QCOMPARE(invoked.first().value(0).toUInt(), number);
    QCOMPARE(invoked.first().value(1).toString(), QStringLiteral("postpone-15"));
}

void TestNotifications::withdrawnBeforeTheServerAnswered()
{
    kv::DesktopNotifications notifications;
    QSignalSpy answered(&notifications, &kv::Notifications::answered);
    // Withdrawn while the server's capabilities are still asked for: never sent.
    notifications.withdraw(notifications.show({"Stand By", "", true, {}}));
    QVERIFY(shown(notifications, {"Restart", "", true, {}}) != 0);
    QCOMPARE(answered.size(), 1);
    // Withdrawn while the server takes it.
    notifications.withdraw(notifications.show({"Stand By", "", true, {}}));
    QVERIFY(answered.wait(5000));
    const uint id = ++m_lastId;
    const QList<MockCall> calls = m_server->waitForCalls(4);
    QCOMPARE(calls.size(), 4);
    QCOMPARE(calls.at(1).args.value(3).toString(), QStringLiteral("Restart"));
    QCOMPARE(calls.last().method, QStringLiteral("CloseNotification"));
    QCOMPARE(calls.last().args.value(0).toUInt(), id);
}

void TestNotifications::bodyShownAsText_data()
{
    QTest::addColumn<QString>("capabilities");
    QTest::addColumn<QString>("body");
    QTest::newRow("markup") << "['body', 'body-markup']"
                            << "&lt;a href=\"x\"&gt;R&amp;D&lt;/a&gt; \"1 &gt; 0\".ogg";
    QTest::newRow("plain text") << "['body']" << kFileName;
}

void TestNotifications::bodyShownAsText()
{
    QFETCH(QString, capabilities);
    QFETCH(QString, body);
    const QString interface = kService;
    QVERIFY(m_server->addMethod(interface, "GetCapabilities", "", "as", "ret = " + capabilities));
    const auto restore = qScopeGuard([this, interface] {
        m_server->addMethod(interface, "GetCapabilities", "", "as",
                            "ret = ['body', 'body-markup']");
    });
    kv::DesktopNotifications notifications;
    QVERIFY(shown(notifications, {"Not done: a", kFileName, false, {}}) != 0);
    const QList<MockCall> calls = m_server->calls();
    QCOMPARE(calls.size(), 2);
    QCOMPARE(calls.last().args.value(4).toString(), body);
}

void TestNotifications::leftBehindByACrashAreWithdrawn()
{
    QTemporaryDir runtime;
    const QString record = runtime.filePath(QStringLiteral("kronvale-0.notices"));
    uint warning = 0;
    {
        kv::DesktopNotifications crashed;
        crashed.keepRecord(record);
        warning = shown(crashed, {"Shut Down", "", true, {"cancel", "Cancel"}});
        QVERIFY(warning != 0);
        // A failure stays true once the program has gone: it is left on show.
        QVERIFY(shown(crashed, {"Not done: a.ogg", "", false, {}}) != 0);
    } // gone without withdrawing anything, as in a crash
    QCOMPARE(m_server->call(QStringLiteral("ClearCalls")).type(), QDBusMessage::ReplyMessage);
    kv::DesktopNotifications next;
    next.keepRecord(record);
    const QList<MockCall> calls = m_server->waitForCalls(1);
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls.first().method, QStringLiteral("CloseNotification"));
    QCOMPARE(calls.first().args.value(0).toUInt(), warning);
    QVERIFY(!QFileInfo::exists(record));
    // Withdrawn as usual, a notice leaves the record too.
    quint32 number = 0;
    QVERIFY(shown(next, {"Restart", "", true, {"cancel", "Cancel"}}, &number) != 0);
    QVERIFY(QFileInfo::exists(record));
    next.withdraw(number);
    QVERIFY(!QFileInfo::exists(record));
}

void TestNotifications::noServer()
{
    m_server->stop();
    kv::DesktopNotifications notifications;
    QSignalSpy answered(&notifications, &kv::Notifications::answered);
    const quint32 number = notifications.show({"Not done: a.ogg", "", false, {}});
    QVERIFY(answered.wait(5000));
    QCOMPARE(answered.first(), QVariantList({number, false}));
}

void TestNotifications::noBus()
{
    kv::DesktopNotifications notifications(
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent"), "no-bus"));
    QSignalSpy answered(&notifications, &kv::Notifications::answered);
    const quint32 number = notifications.show({"Not done: a.ogg", "", false, {}});
    QVERIFY(answered.wait(5000));
    QCOMPARE(answered.first(), QVariantList({number, false}));
}

QTEST_GUILESS_MAIN(TestNotifications)
#include "tst_notifications.moc"
