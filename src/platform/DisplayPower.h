// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kv {

// Switches the monitors off through the X server's display power extension.
// Returns false, doing nothing, where no X display with display power control
// can be reached (no DISPLAY, a Wayland session, a server without DPMS).
bool switchDisplayOff();

} // namespace kv
