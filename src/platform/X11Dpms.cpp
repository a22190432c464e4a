// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11Dpms.h"

#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>
#include <cstdlib>

namespace kv {

namespace {

// The DPMS extension of an open X display.
class XDisplayPower : public DisplayPowerControl
{
public:
    explicit XDisplayPower(Display *display) : m_display(display) {}

    bool capable() override
    {
        int eventBase = 0;
        int errorBase = 0;
        return DPMSQueryExtension(m_display, &eventBase, &errorBase) && DPMSCapable(m_display);
    }
    bool enabled() override
    {
        CARD16 level = 0;
        BOOL on = False;
        DPMSInfo(m_display, &level, &on);
        return on;
    }
    void enable() override { DPMSEnable(m_display); }
    bool forceOff() override { return DPMSForceLevel(m_display, DPMSModeOff) != 0; }

private:
    Display *m_display;
};

} // namespace

bool switchDisplayOff(DisplayPowerControl &control)
{
    if (!control.capable())
        return false;
    // The server refuses to force a level while display power management is off.
    if (!control.enabled())
        control.enable();
    return control.forceOff();
}

bool forceX11DisplayOff()
{
    const char *name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0')
        return false;
    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return false;
    XDisplayPower control(display);
    const bool done = switchDisplayOff(control);
    XCloseDisplay(display);
    return done;
}

} // namespace kv
