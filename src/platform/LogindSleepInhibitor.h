// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "WakeForTasks.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>

namespace kv {

// A "block" sleep lock of systemd-logind: held while its file descriptor is
// open. A "delay" lock would only hold the sleep back for a few seconds.
class LogindSleepInhibitor : public QObject, public SleepInhibitor
{
    Q_OBJECT

public:
    explicit LogindSleepInhibitor(const QDBusConnection &systemBus = QDBusConnection::systemBus(),
                                  QObject *parent = nullptr);

    void hold(const QString &why) override;
    void release() override;
    bool isHeld() const { return m_lock.isValid(); }

private:
    QDBusConnection m_bus;
    QDBusUnixFileDescriptor m_lock;
    bool m_wanted = false;
    bool m_asked = false; // an answer is on its way
};

} // namespace kv
