// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Free of Qt, so that Xlib's macros never meet Qt's names.
namespace kv {

// Forces the monitors off through the X server's display power extension; false,
// doing nothing, without DISPLAY or where the server has no display power control.
bool forceX11DisplayOff();

} // namespace kv
