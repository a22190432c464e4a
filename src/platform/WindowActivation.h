// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <optional>

class QWidget;

namespace kv {

// A window brought to the front at the user's request made elsewhere (a second
// start from the desktop's launcher). Window managers let a program take the
// focus only for an action of the user's; the launcher's token, handed over by
// the second start, is the proof of one.
class WindowActivation
{
public:
    // Asks the window system to activate `window`, shown already, with `token`:
    // on X11 a startup id, on Wayland an XDG activation token. Without a usable
    // token the window is marked as asking for attention.
    static void activate(QWidget *window, const QByteArray &token);

    // The time of the user's action that an X11 startup id carries ("…_TIME<n>"),
    // if it carries a usable one.
    static std::optional<unsigned long> startupTime(const QByteArray &startupId);
};

} // namespace kv
