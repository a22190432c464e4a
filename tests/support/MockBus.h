// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace kv::test {

// A private bus that stands in for the session or the system bus, with one
// python3-dbusmock template serving on it: nothing reaches the machine's own
// services. Start it before anything in the process touches that bus.
class MockBus
{
public:
    struct Call
    {
        QString method;
        QVariantList args;
    };

    MockBus(QDBusConnection::BusType type, const QString &templateName, const QString &service,
            const QString &path)
        : m_type(type), m_service(service), m_path(path)
    {
        // A bus of its own, that starts none of the services installed on the
        // machine (a notification daemon among them).
        QFile config(m_dir.filePath(QStringLiteral("bus.conf")));
        if (!config.open(QIODevice::WriteOnly))
            return;
        config.write("<busconfig><type>session</type><listen>unix:dir=" + m_dir.path().toUtf8() +
                     "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                     "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                     "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>");
        config.close();
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--config-file=") + config.fileName(),
                        QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (!m_daemon.waitForStarted())
            return;
        QByteArray address;
        const QDeadlineTimer deadline(10000);
        while (!address.contains('\n') && !deadline.hasExpired())
            if (m_daemon.waitForReadyRead(int(deadline.remainingTime())))
                address += m_daemon.readAllStandardOutput();
        address = address.trimmed();
        if (address.isEmpty())
            return;
        const bool system = type == QDBusConnection::SystemBus;
        qputenv(system ? "DBUS_SYSTEM_BUS_ADDRESS" : "DBUS_SESSION_BUS_ADDRESS", address);
        m_mock.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList arguments{QStringLiteral("-m"), QStringLiteral("dbusmock"),
                              QStringLiteral("--template"), templateName};
        if (system)
            arguments.insert(2, QStringLiteral("--system"));
        // The interpreter that has Debian's python3-dbusmock.
        m_mock.start(QStringLiteral("/usr/bin/python3"), arguments);
        m_mock.waitForStarted();
    }
    ~MockBus()
    {
        stopMock();
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(5000))
            m_daemon.kill();
    }

    QDBusConnection bus() const
    {
        return m_type == QDBusConnection::SystemBus ? QDBusConnection::systemBus()
                                                    : QDBusConnection::sessionBus();
    }
    // Whether the mock serves; waits for it a while.
    bool serves() const
    {
        const QDBusConnection connection = bus();
        if (!connection.isConnected() || m_mock.state() != QProcess::Running)
            return false;
        const QDeadlineTimer deadline(15000);
        while (!connection.interface()->isServiceRegistered(m_service) && !deadline.hasExpired())
            QTest::qWait(50);
        return connection.interface()->isServiceRegistered(m_service);
    }
    void stopMock()
    {
        m_mock.terminate();
        if (!m_mock.waitForFinished(5000))
            m_mock.kill();
    }

    // A method of the mock's own interface.
    QDBusMessage mockCall(const QString &method, const QVariantList &args = {}) const
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            m_service, m_path, QStringLiteral("org.freedesktop.DBus.Mock"), method);
        message.setArguments(args);
        return bus().call(message);
    }
    bool emitSignal(const QString &interface, const QString &name, const QString &signature,
                    const QVariantList &args) const
    {
        QVariantList wrapped;
        for (const QVariant &arg : args)
            wrapped << QVariant::fromValue(QDBusVariant(arg));
        return mockCall(QStringLiteral("EmitSignal"), {interface, name, signature, wrapped})
                   .type() == QDBusMessage::ReplyMessage;
    }

    // The calls the mock has seen since the last ClearCalls.
    QList<Call> calls() const
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
    // At least `count` calls, and time for one that should not be there to come.
    QList<Call> waitForCalls(int count) const
    {
        const QDeadlineTimer deadline(5000);
        while (calls().size() < count && !deadline.hasExpired())
            QTest::qWait(20);
        QTest::qWait(100);
        return calls();
    }

private:
    QDBusConnection::BusType m_type;
    QString m_service;
    QString m_path;
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QProcess m_mock;
};

} // namespace kv::test
