// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Free of Qt, so that Xlib's macros never meet Qt's names.
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

// The same on the X display that DISPLAY names; false, doing nothing, without
// DISPLAY or where the server has no display power control.
bool forceX11DisplayOff();

} // namespace kv
