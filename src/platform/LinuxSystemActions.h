// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Launcher.h"
#include "SystemActions.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QObject>

class QFileInfo;

namespace kv {

// Runs programs, starts launchers and opens other files with the desktop's
// default handler, each with its real outcome; performs power events through
// systemd-logind, and switches the display off through the display power seam.
// logind's answers come back from the event loop; nothing here waits for them.
class LinuxSystemActions : public SystemActions
{
    Q_DECLARE_TR_FUNCTIONS(kv::LinuxSystemActions)

public:
    // How long a power call waits for logind before it is told as pending.
    static constexpr int kPendingAfterMs = 10000;

    explicit LinuxSystemActions(const QDBusConnection &systemBus = QDBusConnection::systemBus(),
                                int pendingAfterMs = kPendingAfterMs);

    void openFile(const QString &fullName, const Done &done) override;
    void powerOff(const Done &done, const Pending &pending = {}) override;
    void reboot(const Done &done, const Pending &pending = {}) override;
    void standBy(const Done &done, const Pending &pending = {}) override;
    void displayOff(const Done &done) override;

private:
    enum class Kind
    {
        Document, // for the desktop's opener
        Program,  // an executable file: an ELF program or a script with its "#!" line
        Launcher  // a desktop entry file
    };
    static Kind kindOf(const QFileInfo &file);

    // A logind manager call; `answered` gets the reply, or an error reply. A
    // timeout of -1 is D-Bus's own.
    void callLogind(const QString &method, const QVariantList &arguments, int timeoutMs,
                    std::function<void(const QDBusMessage &)> answered);
    // A state change with interactive = false, its error told to `done`.
    void changeState(const QString &method, const Done &done, const Pending &pending);

    QDBusConnection m_bus;
    int m_pendingAfterMs;
    Launcher m_launcher;
    QObject m_replies; // parent of the calls waiting for logind
};

} // namespace kv
