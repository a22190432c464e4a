// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the power events against a mock of systemd-logind on a private bus that
// stands in for the system bus: no call can reach the real machine.
#include "ClockWatcher.h"
#include "LinuxSystemActions.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <optional>

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kMock = QStringLiteral("org.freedesktop.DBus.Mock");

struct Call
{
    QString method;
    QVariantList args;
};

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
    void resumeFromSleepIsNoticed();

private:
    QDBusMessage mockCall(const QString &method, const QVariantList &args = {});
    QList<Call> calls();
    QList<Call> waitForCalls(int count);

    QProcess m_bus;
    QProcess m_logind;
};

void TestLogind::initTestCase()
{
    m_bus.start(QStringLiteral("dbus-daemon"),
                {QStringLiteral("--session"), QStringLiteral("--nofork"),
                 QStringLiteral("--print-address=1")});
    QVERIFY2(m_bus.waitForStarted(), "dbus-daemon is missing");
    QByteArray address;
    const QDeadlineTimer deadline(10000);
    while (!address.contains('\n') && !deadline.hasExpired())
        if (m_bus.waitForReadyRead(int(deadline.remainingTime())))
            address += m_bus.readAllStandardOutput();
    address = address.trimmed();
    QVERIFY2(!address.isEmpty(), "the private bus did not start");
    // Before anything in this process touches the system bus.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", address);

    m_logind.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_logind.start(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--system"),
                    QStringLiteral("--template"), QStringLiteral("logind")});
    QVERIFY2(m_logind.waitForStarted(), "python3-dbusmock is missing");
    QDBusConnection bus = QDBusConnection::systemBus();
    QVERIFY(bus.isConnected());
    QTRY_VERIFY_WITH_TIMEOUT(bus.interface()->isServiceRegistered(kService), 15000);
}

void TestLogind::cleanupTestCase()
{
    for (QProcess *p : {&m_logind, &m_bus}) {
        p->terminate();
        if (!p->waitForFinished(5000))
            p->kill();
    }
}

void TestLogind::init()
{
    QCOMPARE(mockCall(QStringLiteral("ClearCalls")).type(), QDBusMessage::ReplyMessage);
}

QDBusMessage TestLogind::mockCall(const QString &method, const QVariantList &args)
{
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kMock, method);
    message.setArguments(args);
    return QDBusConnection::systemBus().call(message);
}

QList<Call> TestLogind::calls()
{
    // GetCalls answers a(tsav): time stamp, method, arguments.
    const QDBusMessage reply = mockCall(QStringLiteral("GetCalls"));
    QList<Call> result;
    if (reply.type() != QDBusMessage::ReplyMessage)
        return result;
    const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        quint64 stamp = 0;
        Call call;
        list.beginStructure();
        list >> stamp >> call.method;
        list.beginArray();
        while (!list.atEnd()) {
            QDBusVariant value;
            list >> value;
            call.args << value.variant();
        }
        list.endArray();
        list.endStructure();
        result << call;
    }
    list.endArray();
    return result;
}

QList<Call> TestLogind::waitForCalls(int count)
{
    QList<Call> seen;
    const QDeadlineTimer deadline(5000);
    while ((seen = calls()).size() < count && !deadline.hasExpired())
        QTest::qWait(20);
    QTest::qWait(100); // time for a call that should not be there to show up
    return calls();
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
                                         << "yes" << QStringList{"CanHibernate", "Hibernate"}
                                         << "";
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
    const auto addMethod = [this](const QString &name, const QString &in, const QString &out,
                                  const QString &code) {
        return mockCall(QStringLiteral("AddMethod"), {kManager, name, in, out, code}).type();
    };
    QCOMPARE(addMethod(QStringLiteral("CanHibernate"), QString(), QStringLiteral("s"),
                       QStringLiteral("ret = '%1'").arg(canHibernate)),
             QDBusMessage::ReplyMessage);
    // An empty method body answers as logind does when it carries the call out.
    const QString refuse =
        refusal.isEmpty() ? QString()
                          : QStringLiteral("raise dbus.exceptions.DBusException(\"%1\", "
                                           "name='org.freedesktop.login1.OperationInProgress')")
                                .arg(refusal);
    QCOMPARE(addMethod(methods.last(), QStringLiteral("b"), QString(), refuse),
             QDBusMessage::ReplyMessage);
    QCOMPARE(mockCall(QStringLiteral("ClearCalls")).type(), QDBusMessage::ReplyMessage);

    kv::LinuxSystemActions system;
    std::optional<QString> told;
    const auto done = [&told](const QString &failure) { told = failure; };
    if (action == QLatin1String("powerOff"))
        system.powerOff(done);
    else if (action == QLatin1String("reboot"))
        system.reboot(done);
    else
        system.standBy(done);

    const QList<Call> seen = waitForCalls(int(methods.size()));
    QStringList seenMethods;
    for (const Call &call : seen)
        seenMethods << call.method;
    QCOMPARE(seenMethods, methods);
    // Every state change says interactive = false: no password prompt from a timer.
    const Call &last = seen.last();
    QCOMPARE(last.args.size(), 1);
    QCOMPARE(last.args.first().toBool(), false);
    QCOMPARE(last.args.first().metaType(), QMetaType::fromType<bool>());
    // The answer is told, with logind's own words when it refused.
    QTRY_VERIFY(told.has_value());
    QCOMPARE(*told, refusal.isEmpty() ? QString() : QStringLiteral("The system refused: ") + refusal);
}

void TestLogind::resumeFromSleepIsNoticed()
{
    kv::ClockWatcher watcher;
    QVERIFY(watcher.watchesClockSteps());
    QSignalSpy resumed(&watcher, &kv::ClockWatcher::resumed);
    const auto prepareForSleep = [this](bool start) {
        return mockCall(QStringLiteral("EmitSignal"),
                        {kManager, QStringLiteral("PrepareForSleep"), QStringLiteral("b"),
                         QVariant(QVariantList{QVariant::fromValue(QDBusVariant(start))})})
            .type();
    };
    QCOMPARE(prepareForSleep(true), QDBusMessage::ReplyMessage);
    QTest::qWait(200); // going to sleep is not waking up
    QCOMPARE(resumed.size(), 0);
    QCOMPARE(prepareForSleep(false), QDBusMessage::ReplyMessage);
    QTRY_COMPARE(resumed.size(), 1);
}

QTEST_GUILESS_MAIN(TestLogind)
#include "tst_logind.moc"
