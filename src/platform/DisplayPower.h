// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "X11Dpms.h"

#include <QDBusConnection>
#include <memory>
#include <vector>

namespace kv {

// One way of switching the monitors off.
class DisplayPowerPath
{
public:
    virtual ~DisplayPowerPath() = default;
    // Whether the monitors were switched off; false, having done nothing, where
    // this way cannot be reached.
    virtual bool switchOff() = 0;
};

// GNOME: Mutter's display configuration in power save mode 3 (off), back to 0
// (on) at the next user activity that Mutter's idle monitor sees.
class MutterDisplayPower : public DisplayPowerPath
{
public:
    explicit MutterDisplayPower(const QDBusConnection &sessionBus) : m_bus(sessionBus) {}
    bool switchOff() override;

private:
    QDBusConnection m_bus;
};

// KDE Plasma: Power Devil's global shortcut "Turn Off Screen".
class PowerDevilDisplayPower : public DisplayPowerPath
{
public:
    explicit PowerDevilDisplayPower(const QDBusConnection &sessionBus) : m_bus(sessionBus) {}
    bool switchOff() override;

private:
    QDBusConnection m_bus;
};

// The X server's display power extension, forced off. Not there in a Wayland
// session (XWayland has none), nor without DISPLAY.
class X11DisplayPower : public DisplayPowerPath
{
public:
    bool switchOff() override;
};

// The desktop's own ways first, which keep its idea of the screen's state
// right, then X11's.
std::vector<std::unique_ptr<DisplayPowerPath>> displayPowerPaths(const QDBusConnection &sessionBus);

// Tries the ways in that order until one switches the monitors off; false,
// having done nothing, where none can be reached.
bool switchDisplayOff(const QDBusConnection &sessionBus);
// On the session bus.
bool switchDisplayOff();

} // namespace kv
