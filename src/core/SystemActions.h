// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace kv {

// What a task can do to the machine. Every call is fire-and-forget: a failure is
// never reported back to the task.
class SystemActions
{
public:
    virtual ~SystemActions() = default;
    // Opens the file with the desktop's default handler.
    virtual void openFile(const QString &fullName) = 0;
    virtual void powerOff() = 0;
    virtual void reboot() = 0;
    // Hibernates where the system can, otherwise suspends.
    virtual void standBy() = 0;
    virtual void displayOff() = 0;
};

} // namespace kv
