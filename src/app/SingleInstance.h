// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

namespace kv {

// One running program per task base folder. The first start holds a lock and
// listens; a later start asks it to come forward and is told to end.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // The name that identifies the instance of one base folder.
    static QString keyFor(const QString &baseFolder);

    explicit SingleInstance(const QString &baseFolder, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the one instance for its folder. False when
    // another holds it; that one has then been asked to come forward.
    bool claim();

    const QString &key() const { return m_key; }

signals:
    // A later start of the program asked this instance to show itself.
    void activationRequested();

private:
    bool askRunningInstance() const;

    QString m_key;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

} // namespace kv
