// SPDX-License-Identifier: GPL-3.0-or-later
#include "Notifications.h"

#include "DBusReply.h"

#include <QDBusMessage>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>
#include <QVariantMap>

namespace kv {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
constexpr int kCloseTimeoutMs = 1000;

} // namespace

DesktopNotifications::DesktopNotifications(const QDBusConnection &bus, QObject *parent)
    : Notifications(parent), m_bus(bus)
{
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    // Sent just before the action it is for.
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("ActivationToken"), this,
                  SLOT(onActivationToken(uint, QString)));
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                  SLOT(onNotificationClosed(uint, uint)));
    // Another server may read the bodies otherwise.
    auto *watcher =
        new QDBusServiceWatcher(kService, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this] { m_bodyMarkup.reset(); });
}

DesktopNotifications::~DesktopNotifications()
{
    for (QDBusPendingCall &call : m_closing)
        call.waitForFinished();
}

quint32 DesktopNotifications::show(const Notice &notice)
{
    const quint32 number = ++m_lastNotice;
    m_waiting.insert(number);
    if (!notice.actions.isEmpty())
        m_withActions.insert(number);
    if (m_bodyMarkup) {
        send(number, notice);
    } else {
        m_unsent.append({number, notice});
        askCapabilities();
    }
    return number;
}

void DesktopNotifications::askCapabilities()
{
    if (m_asking)
        return;
    m_asking = true;
    const QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                             QStringLiteral("GetCapabilities"));
    whenAnswered(m_bus.asyncCall(call), this, [this](const QDBusMessage &message) {
        m_asking = false;
        const QDBusPendingReply<QStringList> reply = message;
        // Without an answer the notices go as plain text, and the next asks again.
        if (!reply.isError())
            m_bodyMarkup = reply.value().contains(QStringLiteral("body-markup"));
        const auto unsent = std::exchange(m_unsent, {});
        for (const auto &[number, notice] : unsent)
            if (m_waiting.contains(number)) // not withdrawn meanwhile
                send(number, notice);
    });
}

void DesktopNotifications::send(quint32 number, const Notice &notice)
{
    // The desktop finds the program's icon through its desktop entry.
    const QString entry = QGuiApplication::desktopFileName();
    QVariantMap hints{
        {QStringLiteral("urgency"), QVariant::fromValue(uchar(notice.critical ? 2 : 1))}};
    if (!entry.isEmpty())
        hints.insert(QStringLiteral("desktop-entry"), entry);
    // File names are shown as they are, never read as markup or links.
    QString body = notice.body;
    if (m_bodyMarkup.value_or(false)) // only these three: not every server knows &quot;
        body.replace(u'&', QStringLiteral("&amp;"))
            .replace(u'<', QStringLiteral("&lt;"))
            .replace(u'>', QStringLiteral("&gt;"));
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QStringLiteral("Kronvale") << uint(0) << entry << notice.summary << body
         << notice.actions << hints << 0; // never expires: nobody may be there
    whenAnswered(m_bus.asyncCall(call), this, [this, number](const QDBusMessage &message) {
        const QDBusPendingReply<uint> reply = message;
        const bool wanted = m_waiting.remove(number);
        if (!reply.isError()) {
            if (wanted) {
                m_ids.insert(number, reply.value());
                m_server = message.service();
                if (m_withActions.contains(number))
                    writeRecord();
            } else { // withdrawn while on its way
                close(reply.value());
            }
        } else {
            m_withActions.remove(number);
        }
        emit answered(number, !reply.isError());
    });
}

void DesktopNotifications::withdraw(quint32 notice)
{
    m_waiting.remove(notice);
    const bool recorded = m_withActions.remove(notice);
    if (const auto id = m_ids.constFind(notice); id != m_ids.cend()) {
        close(*id);
        m_ids.erase(id);
        if (recorded)
            writeRecord();
    }
}

void DesktopNotifications::keepRecord(const QString &path)
{
    m_recordPath = path;
    if (path.isEmpty())
        return;
    QFile record(path);
    if (record.open(QIODevice::ReadOnly) && record.size() < 64 * 1024) {
        // The first line names the server that numbered them: a server started
        // since then has other notices under those numbers.
        QList<QByteArray> lines = record.readAll().split('\n');
        const QString server = QString::fromUtf8(lines.takeFirst());
        for (const QByteArray &line : std::as_const(lines)) {
            bool isNumber = false;
            const uint id = line.toUInt(&isNumber);
            if (isNumber && !server.isEmpty())
                m_bus.asyncCall(QDBusMessage::createMethodCall(server, kPath, kInterface,
                                                               QStringLiteral("CloseNotification"))
                                    << id,
                                kCloseTimeoutMs);
        }
    }
    record.close();
    writeRecord();
}

void DesktopNotifications::writeRecord() const
{
    if (m_recordPath.isEmpty())
        return;
    QByteArray lines = m_server.toUtf8() + '\n';
    bool any = false;
    for (auto it = m_ids.cbegin(); it != m_ids.cend(); ++it) {
        if (m_withActions.contains(it.key())) {
            lines += QByteArray::number(it.value()) + '\n';
            any = true;
        }
    }
    if (!any) {
        QFile::remove(m_recordPath);
        return;
    }
    QSaveFile file(m_recordPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(lines) != lines.size() || !file.commit())
        qWarning("Kronvale cannot keep the record of its notices in %s",
                 qUtf8Printable(m_recordPath));
}

void DesktopNotifications::close(uint id)
{
    m_closing.removeIf([](const QDBusPendingCall &call) { return call.isFinished(); });
    m_closing << m_bus.asyncCall(QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                                QStringLiteral("CloseNotification"))
                                     << id,
                                 kCloseTimeoutMs);
}

void DesktopNotifications::onActionInvoked(uint id, const QString &action)
{
    // Every program's notices come by; only ours are named.
    const QByteArray token = m_tokens.take(id);
    const quint32 notice = m_ids.key(id, 0);
    if (notice != 0)
        emit actionInvoked(notice, action, token);
}

void DesktopNotifications::onActivationToken(uint id, const QString &token)
{
    if (m_ids.key(id, 0) != 0)
        m_tokens.insert(id, token.toUtf8());
}

void DesktopNotifications::onNotificationClosed(uint id, uint)
{
    const quint32 notice = m_ids.key(id, 0);
    if (notice == 0)
        return;
    m_ids.remove(notice);
    m_tokens.remove(id);
    if (m_withActions.remove(notice))
        writeRecord();
}

} // namespace kv
