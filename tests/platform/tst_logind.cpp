// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the power events against a mock of systemd-logind on a private bus that
// stands in for the system bus: no call can reach the real machine.
#include "ClockWatcher.h"
#include "LinuxSystemActions.h"
#include "LogindSleepInhibitor.h"
#include "MockBus.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <optional>

using kv::test::MockCall;

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");

} // namespace

class TestLogind : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void powerEvents_data();
    void powerEvents();
    void lateAnswerIsWaitedFor();
    void resumeFromSleepIsNoticed();
    void sleepInhibitorHeldAndDropped();

private:
    std::unique_ptr<kv::test::PrivateBus> m_bus;
    std::unique_ptr<kv::test::DBusMock> m_logind;
};

void TestLogind::initTestCase()
{
    m_bus = std::make_unique<kv::test::PrivateBus>();
    QVERIFY2(m_bus->isRunning(), "the private bus did not start");
    // Before anything in this process touches the system bus.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_bus->address());
    m_logind = std::make_unique<kv::test::DBusMock>(*m_bus, kService, kPath,
                                                    QStringList{QStringLiteral("--system"),
                                                                QStringLiteral("--template"),
                                                                QStringLiteral("logind")});
    QVERIFY2(m_logind->waitUntilServing(), "python3-dbusmock is missing");
    QVERIFY(QDBusConnection::systemBus().isConnected());
}

void TestLogind::cleanupTestCase()
{
    m_logind.reset();
    m_bus.reset();
}

void TestLogind::init()
{
    QCOMPARE(m_logind->call(QStringLiteral("ClearCalls")).type(), QDBusMessage::ReplyMessage);
}

void TestLogind::powerEvents_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("canHibernate");
    QTest::addColumn<QStringList>("methods");
    QTest::addColumn<QString>("refusal"); // what logind answers instead of doing it
    QTest::newRow("shut down powers off") << "powerOff"
                                          << "yes" << QStringList{"PowerOff"} << "";
    QTest::newRow("restart reboots") << "reboot"
                                     << "yes" << QStringList{"Reboot"} << "";
    QTest::newRow("stand by hibernates") << "standBy"
                                         << "yes" << QStringList{"CanHibernate", "Hibernate"} << "";
    QTest::newRow("stand by suspends when hibernation is off")
        << "standBy"
        << "no" << QStringList{"CanHibernate", "Suspend"} << "";
    QTest::newRow("stand by suspends when hibernation needs a password")
        << "standBy"
        << "challenge" << QStringList{"CanHibernate", "Suspend"} << "";
    QTest::newRow("shut down inhibited")
        << "powerOff"
        << "yes" << QStringList{"PowerOff"} << "Operation inhibited by 'backup'";
    QTest::newRow("suspend not authorised")
        << "standBy"
        << "no" << QStringList{"CanHibernate", "Suspend"} << "Access denied";
}

void TestLogind::powerEvents()
{
    QFETCH(QString, action);
    QFETCH(QString, canHibernate);
    QFETCH(QStringList, methods);
    QFETCH(QString, refusal);
    QVERIFY(m_logind->addMethod(kManager, QStringLiteral("CanHibernate"), QString(),
                                QStringLiteral("s"),
                                QStringLiteral("ret = '%1'").arg(canHibernate)));
    // An empty method body answers as logind does when it carries the call out.
    const QString refuse =
        refusal.isEmpty() ? QString()
                          : QStringLiteral("raise dbus.exceptions.DBusException(\"%1\", "
                                           "name='org.freedesktop.login1.OperationInProgress')")
                                .arg(refusal);
    QVERIFY(m_logind->addMethod(kManager, methods.last(), QStringLiteral("b"), QString(), refuse));
    QCOMPARE(m_logind->call(QStringLiteral("ClearCalls")).type(), QDBusMessage::ReplyMessage);

    kv::LinuxSystemActions system;
    std::optional<QString> told;
    const auto done = [&told](const QString &failure) { told = failure; };
    if (action == QLatin1String("powerOff"))
        system.powerOff(done);
    else if (action == QLatin1String("reboot"))
        system.reboot(done);
    else
        system.standBy(done);

    const QList<MockCall> seen = m_logind->waitForCalls(int(methods.size()));
    QStringList seenMethods;
    for (const MockCall &call : seen)
        seenMethods << call.method;
    QCOMPARE(seenMethods, methods);
    // Every state change says interactive = false: no password prompt from a timer.
    const MockCall &last = seen.last();
    QCOMPARE(last.args.size(), 1);
    QCOMPARE(last.args.first().toBool(), false);
    QCOMPARE(last.args.first().metaType(), QMetaType::fromType<bool>());
    // The answer is told, with logind's own words when it refused.
    QTRY_VERIFY(told.has_value());
    QCOMPARE(*told,
             refusal.isEmpty() ? QString() : QStringLiteral("The system refused: ") + refusal);
}

void TestLogind::lateAnswerIsWaitedFor()
{
    QVERIFY(m_logind->addMethod(kManager, QStringLiteral("PowerOff"), QStringLiteral("b"),
                                QString(), QString()));
    QCOMPARE(m_logind->call(QStringLiteral("ClearCalls")).type(), QDBusMessage::ReplyMessage);
    kv::LinuxSystemActions system(QDBusConnection::systemBus(), 500);
    std::optional<QString> told;
    QStringList pending;
    m_logind->pause();
    system.powerOff([&told](const QString &failure) { told = failure; },
                    [&pending](const QString &state) { pending << state; });
    QTRY_COMPARE(pending.size(), 1);
    QVERIFY2(pending.first().contains(QStringLiteral("not answered yet")),
             qPrintable(pending.first()));
    // Longer than D-Bus's own timeout of 25 s: no answer is no refusal.
    QTest::qWait(26000);
    QVERIFY(!told.has_value());
    m_logind->resume();
    QTRY_VERIFY_WITH_TIMEOUT(told.has_value(), 10000);
    QCOMPARE(*told, QString());
    QCOMPARE(pending.size(), 1);
    QCOMPARE(m_logind->calls().last().method, QStringLiteral("PowerOff"));
}

void TestLogind::resumeFromSleepIsNoticed()
{
    kv::ClockWatcher watcher;
    QVERIFY(watcher.watchesClockSteps());
    QSignalSpy resumed(&watcher, &kv::ClockWatcher::resumed);
    const auto prepareForSleep = [this](bool start) {
        return m_logind->emitSignal(kManager, QStringLiteral("PrepareForSleep"),
                                    QStringLiteral("b"), {start});
    };
    QVERIFY(prepareForSleep(true));
    QTest::qWait(200); // going to sleep is not waking up
    QCOMPARE(resumed.size(), 0);
    QVERIFY(prepareForSleep(false));
    QTRY_COMPARE(resumed.size(), 1);
}

void TestLogind::sleepInhibitorHeldAndDropped()
{
    // logind lists a lock while its descriptor is open.
    const auto lockCount = [] {
        const QDBusArgument list =
            QDBusConnection::systemBus()
                .call(QDBusMessage::createMethodCall(kService, kPath, kManager,
                                                     QStringLiteral("ListInhibitors")))
                .arguments()
                .value(0)
                .value<QDBusArgument>();
        int count = 0;
        list.beginArray();
        for (; !list.atEnd(); ++count)
            list.asVariant();
        list.endArray();
        return count;
    };
    kv::LogindSleepInhibitor inhibitor;
    inhibitor.hold(QStringLiteral("Kronvale: a task is due"));
    const QList<MockCall> seen = m_logind->waitForCalls(1);
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen.first().method, QStringLiteral("Inhibit"));
    QCOMPARE(seen.first().args,
             (QVariantList{"sleep", "Kronvale", "Kronvale: a task is due", "block"}));
    QTRY_VERIFY(inhibitor.isHeld());
    QCOMPARE(lockCount(), 1);
    inhibitor.release();
    QTRY_COMPARE(lockCount(), 0);
}

QTEST_GUILESS_MAIN(TestLogind)
#include "tst_logind.moc"
