// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Launcher.h"
#include "SystemActions.h"

#include <QDBusConnection>

namespace kv {

// Opens files with the desktop's default handler, performs power events through
// systemd-logind, and switches the display off through X11 display power control.
class LinuxSystemActions : public SystemActions
{
public:
    explicit LinuxSystemActions(const QDBusConnection &systemBus = QDBusConnection::systemBus());

    void openFile(const QString &fullName) override;
    void powerOff() override;
    void reboot() override;
    void standBy() override;
    void displayOff() override;

private:
    // Sends a logind manager call with interactive = false and waits for no reply.
    void sendToLogind(const QString &method);

    QDBusConnection m_bus;
    Launcher m_launcher;
};

} // namespace kv
