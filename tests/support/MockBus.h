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
#include <csignal>

namespace kv::test {

// A D-Bus daemon of the test's own, standing in for the session or the system
// bus: nothing said on it reaches the machine or the desktop, and it starts
// none of the services installed on the machine (a notification daemon among
// them).
class PrivateBus
{
public:
    PrivateBus()
    {
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
        const QDeadlineTimer deadline(10000);
        while (!m_address.contains('\n') && !deadline.hasExpired())
            if (m_daemon.waitForReadyRead(int(deadline.remainingTime())))
                m_address += m_daemon.readAllStandardOutput();
        m_address = m_address.trimmed();
    }
    ~PrivateBus()
    {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(5000))
            m_daemon.kill();
    }
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    bool isRunning() const { return !m_address.isEmpty(); }
    const QByteArray &address() const { return m_address; }
    QDBusConnection connection() const
    {
        return QDBusConnection::connectToBus(QString::fromUtf8(m_address),
                                             QStringLiteral("kv-private-bus"));
    }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QByteArray m_address;
};

// A call that a mock recorded.
struct MockCall
{
    QString method;
    QVariantList args;
};

// A service of python3-dbusmock on a private bus, reached through its main
// object's org.freedesktop.DBus.Mock interface.
class DBusMock
{
public:
    // `arguments` as `python3 -m dbusmock` takes them after its own options.
    DBusMock(const PrivateBus &bus, const QString &service, const QString &path,
             const QStringList &arguments)
        : m_bus(bus.connection()), m_service(service), m_path(path)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromUtf8(bus.address()));
        env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), QString::fromUtf8(bus.address()));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("/usr/bin/python3"),
                        QStringList{QStringLiteral("-m"), QStringLiteral("dbusmock")} + arguments);
    }
    ~DBusMock() { stop(); }
    // The service leaves the bus, as a server that quits.
    void stop()
    {
        resume();
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }
    // The service hangs, stopped as by SIGSTOP, until resume().
    void pause() { ::kill(pid_t(m_process.processId()), SIGSTOP); }
    void resume()
    {
        if (m_process.processId() > 0)
            ::kill(pid_t(m_process.processId()), SIGCONT);
    }
    DBusMock(const DBusMock &) = delete;
    DBusMock &operator=(const DBusMock &) = delete;

    // Started and answering on the bus.
    bool waitUntilServing()
    {
        if (!m_process.waitForStarted())
            return false;
        const QDeadlineTimer deadline(15000);
        while (!m_bus.interface()->isServiceRegistered(m_service) && !deadline.hasExpired()) {
            if (m_process.state() == QProcess::NotRunning)
                return false;
            QTest::qWait(20);
        }
        return !deadline.hasExpired();
    }

    QDBusMessage call(const QString &method, const QVariantList &args = {}) const
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            m_service, m_path, QStringLiteral("org.freedesktop.DBus.Mock"), method);
        message.setArguments(args);
        return m_bus.call(message);
    }

    bool emitSignal(const QString &interface, const QString &name, const QString &signature,
                    const QVariantList &args) const
    {
        QVariantList wrapped;
        for (const QVariant &arg : args)
            wrapped << QVariant::fromValue(QDBusVariant(arg));
        return call(QStringLiteral("EmitSignal"), {interface, name, signature, wrapped}).type() ==
               QDBusMessage::ReplyMessage;
    }

    // A method of the main object that runs `code` (Python), which sets `ret`.
    bool addMethod(const QString &interface, const QString &name, const QString &inSignature,
                   const QString &outSignature, const QString &code) const
    {
        return call(QStringLiteral("AddMethod"), {interface, name, inSignature, outSignature, code})
                   .type() == QDBusMessage::ReplyMessage;
    }

    QList<MockCall> calls() const
    {
        // GetCalls answers a(tsav): time stamp, method, arguments.
        const QDBusMessage reply = call(QStringLiteral("GetCalls"));
        QList<MockCall> result;
        if (reply.type() != QDBusMessage::ReplyMessage)
            return result;
        const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
        list.beginArray();
        while (!list.atEnd()) {
            quint64 stamp = 0;
            MockCall recorded;
            list.beginStructure();
            list >> stamp >> recorded.method;
            list.beginArray();
            while (!list.atEnd()) {
                QDBusVariant value;
                list >> value;
                recorded.args << value.variant();
            }
            list.endArray();
            list.endStructure();
            result << recorded;
        }
        list.endArray();
        return result;
    }

    // The calls once `count` have come, or after a while; and a little longer,
    // for a call that should not be there to show up.
    QList<MockCall> waitForCalls(int count) const
    {
        const QDeadlineTimer deadline(5000);
        while (calls().size() < count && !deadline.hasExpired())
            QTest::qWait(20);
        QTest::qWait(100);
        return calls();
    }

private:
    QDBusConnection m_bus;
    QString m_service;
    QString m_path;
    QProcess m_process;
};

} // namespace kv::test
