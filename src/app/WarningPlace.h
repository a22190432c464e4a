// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace kv {

// Where the warning before a power event shows. An X11 window stays above the
// others and is shown without taking the keyboard. A Wayland client's window
// can do neither: it takes the keyboard from what the user is typing in, where
// a Return would answer it, and sinks under the next window. There the critical
// notification alone warns, and a window only where no notification server is.
class WarningPlace
{
public:
    static bool noticeAlone(const QString &platformName)
    {
        return platformName.startsWith(QLatin1String("wayland"));
    }
};

} // namespace kv
