// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

namespace kv {

// What a task can do to the machine. No call waits for the machine: each tells
// what became of it through its `done`, at once or later from the event loop.
class SystemActions
{
public:
    // Called once: with an empty text when the action was carried out, else with
    // the reason it was not. May be empty.
    using Done = std::function<void(const QString &failure)>;
    // Called while an action has had no answer for a while, with what is known
    // of it; `done` still follows whenever the answer comes.
    using Pending = std::function<void(const QString &state)>;

    virtual ~SystemActions() = default;
    // Opens the file as the desktop's "open" does: runs a program, starts a
    // launcher, hands any other file to its default handler.
    virtual void openFile(const QString &fullName, const Done &done) = 0;
    virtual void powerOff(const Done &done, const Pending &pending = {}) = 0;
    virtual void reboot(const Done &done, const Pending &pending = {}) = 0;
    // Hibernates where the system can, otherwise suspends.
    virtual void standBy(const Done &done, const Pending &pending = {}) = 0;
    virtual void displayOff(const Done &done) = 0;

    // For the implementations: tells `done`, if there is one.
    static void tell(const Done &done, const QString &failure = {})
    {
        if (done)
            done(failure);
    }
};

} // namespace kv
