// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11Dpms.h"

#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>
#include <cstdlib>

namespace kv {

bool forceX11DisplayOff()
{
    const char *name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0')
        return false;
    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return false;
    int eventBase = 0;
    int errorBase = 0;
    bool done = false;
    if (DPMSQueryExtension(display, &eventBase, &errorBase) && DPMSCapable(display)) {
        CARD16 level = 0;
        BOOL enabled = False;
        DPMSInfo(display, &level, &enabled);
        // The server refuses to force a level while display power management is off.
        if (!enabled)
            DPMSEnable(display);
        done = DPMSForceLevel(display, DPMSModeOff) != 0;
    }
    XCloseDisplay(display);
    return done;
}

} // namespace kv
