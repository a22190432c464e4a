// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <optional>
#include <utility>

namespace kv {

// A passive message on the desktop. It stays until it is withdrawn or the user
// dismisses it: nobody may be at the machine when it comes.
struct Notice
{
    QString summary;
    QString body;
    bool critical = false;
    QStringList actions; // key, label, key, label, ...
};

// The desktop's notifications. Each notice shown gets a number of its own, by
// which it is withdrawn and by which the signals name it.
class Notifications : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual quint32 show(const Notice &notice) = 0;
    virtual void withdraw(quint32 notice) = 0;

signals:
    // The user chose one of the notice's actions ("default": the notice itself),
    // with the token that lets a window of ours take the focus for it, if the
    // server gave one.
    void actionInvoked(quint32 notice, const QString &action, const QByteArray &token);
    // Whether a notification server took the notice. A notice withdrawn before
    // it was sent is never answered.
    void answered(quint32 notice, bool shown);
};

// org.freedesktop.Notifications on the session bus. No call waits for the
// server: its answers come back from the event loop. The notices wait until the
// server has said whether it reads their bodies as markup.
class DesktopNotifications : public Notifications
{
    Q_OBJECT

public:
    explicit DesktopNotifications(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                                  QObject *parent = nullptr);
    // Waits a moment for the withdrawals still on their way.
    ~DesktopNotifications() override;

    quint32 show(const Notice &notice) override;
    void withdraw(quint32 notice) override;

    // Keeps the server's ids of the notices with actions, which nothing answers
    // once the program has ended, in the file at `path`, and first withdraws
    // those that an earlier run left there (a crash withdraws nothing).
    void keepRecord(const QString &path);

private slots:
    void onActionInvoked(uint id, const QString &action);
    void onActivationToken(uint id, const QString &token);
    void onNotificationClosed(uint id, uint reason);

private:
    void askCapabilities();
    void send(quint32 number, const Notice &notice);
    void close(uint id);
    void writeRecord() const;

    QDBusConnection m_bus;
    quint32 m_lastNotice = 0;
    QHash<quint32, uint> m_ids; // our number -> the server's
    QSet<quint32> m_withActions;
    QString m_server; // the unique bus name of the server that took the notices
    QString m_recordPath;
    QSet<quint32> m_waiting; // sent, not answered yet
    QList<QDBusPendingCall> m_closing;
    QHash<uint, QByteArray> m_tokens; // the server's id -> the token for its next action
    std::optional<bool> m_bodyMarkup; // unknown until the server has answered
    bool m_asking = false;
    QList<std::pair<quint32, Notice>> m_unsent;
};

} // namespace kv
