// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>
#include <vector>

class QSocketNotifier;

namespace kv {

// Lines handed between processes of one user through a named local socket: one
// end listens, the others send a line and go.
class LocalChannel : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Listens at `name`, taking the place of a socket left there by a process
    // that ended; only this user can connect.
    virtual bool listen(const QString &name) = 0;
    // Sends `line` and a newline to the channel that listens at `name`, trying
    // for up to `timeoutMs` while none does yet. An empty `line` only tries the
    // connection.
    virtual bool send(const QString &name, const QByteArray &line, int timeoutMs) = 0;
    virtual QString errorString() const = 0;

signals:
    // A whole line, without its newline.
    void lineReceived(const QByteArray &line);
};

// A Unix domain socket at a path, removed when the channel ends. A connection
// whose peer is another user, or whose line runs past kLongestLine, is dropped.
class UnixLocalChannel : public LocalChannel
{
    Q_OBJECT

public:
    static constexpr int kLongestLine = 4096;

    explicit UnixLocalChannel(QObject *parent = nullptr);
    ~UnixLocalChannel() override;

    bool listen(const QString &name) override;
    bool send(const QString &name, const QByteArray &line, int timeoutMs) override;
    QString errorString() const override { return m_error; }

private:
    struct Peer;
    void accept();
    void read(Peer *peer);
    void drop(Peer *peer);

    int m_fd = -1;
    QByteArray m_path; // removed again at the end
    QSocketNotifier *m_notifier = nullptr;
    std::vector<std::unique_ptr<Peer>> m_peers;
    QString m_error;
};

} // namespace kv
