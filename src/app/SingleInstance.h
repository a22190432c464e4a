// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FileLock.h"
#include "LocalChannel.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

namespace kv {

// One running program per task base folder. The first start holds two locks:
// one in this user's runtime folder, found by every copy of the user whatever
// its environment, and one in the base folder itself (its lock file, and its
// default base), which tells copies of other users sharing the folder. It
// listens beside the first lock; a later start of the same user asks it to come
// forward and ends.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    enum class Claim
    {
        Ours,
        HandedOver, // another copy runs and was asked to come forward
        Refused,    // another copy holds the folder and does not answer
    };

    // The lock file that other users' copies see in the base folder.
    static QString baseLockName() { return QStringLiteral(".kronvale.lock"); }

    // `runtimeFolder` empty: FileLock::userRuntimeFolder(); `channel` none: a
    // UnixLocalChannel.
    explicit SingleInstance(const QString &baseFolder, const QString &runtimeFolder = {},
                            std::unique_ptr<LocalChannel> channel = {}, QObject *parent = nullptr);
    ~SingleInstance() override;

    // The token of the desktop's launcher that this start came with, read before
    // the QApplication, which takes it out of the environment.
    static QByteArray activationToken();

    // `token` goes to a running copy, which needs it to come to the front.
    Claim claim(const QByteArray &token = {});
    // Why the claim was refused, for the error box.
    const QString &refusal() const { return m_refusal; }

    // The local socket the instance listens on, the same for every spelling of
    // its folder. It takes "show", or "show" and a token, a line each.
    const QString &serverName() const { return m_serverName; }
    // The user's own lock; empty without a runtime folder.
    const QString &userLockPath() const { return m_userLockPath; }
    // Where this instance keeps the notices it has on show, beside the user's
    // lock; empty without a runtime folder.
    const QString &noticeRecordPath() const { return m_noticeRecordPath; }

signals:
    // A later start of the program asked this instance to show itself, with its
    // launcher's activation token or startup id; empty from a terminal.
    void activationRequested(const QByteArray &token);

private:
    bool askRunningInstance(const QByteArray &token);
    void listen();

    QString m_baseFolder;
    QString m_runtimeFolder;
    QString m_serverName;
    QString m_userLockPath;
    QString m_noticeRecordPath;
    QString m_refusal;
    FileLock m_userLock;
    FileLock m_folderLock;
    FileLock m_baseLock;
    std::unique_ptr<LocalChannel> m_channel;
};

} // namespace kv
