// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kv {

// The display power control of one X display, as its server offers it.
class DisplayPowerControl
{
public:
    virtual ~DisplayPowerControl() = default;
    // The server has the extension and can drive the monitors' power.
    virtual bool capable() = 0;
    virtual bool enabled() = 0;
    virtual void enable() = 0;
    // False when the server refuses.
    virtual bool forceOff() = 0;
};

// Switches the monitors off through `control`, switching display power
// management on first where it is off. Returns false, doing nothing, where the
// display has no power control.
bool switchDisplayOff(DisplayPowerControl &control);

// The same on the X display that DISPLAY names. Returns false, doing nothing,
// where no X display can be reached (no DISPLAY, a Wayland session).
bool switchDisplayOff();

} // namespace kv
