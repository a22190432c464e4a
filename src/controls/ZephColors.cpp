// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZephColors.h"

#include <array>

namespace kv {

namespace {

// Palette roles standing in for the system colour indices 0..24.
constexpr std::array<QPalette::ColorRole, 25> kSystemRoles = {
    QPalette::Button,          // 0 scroll bar
    QPalette::Window,          // 1 desktop
    QPalette::Highlight,       // 2 active caption
    QPalette::Mid,             // 3 inactive caption
    QPalette::Window,          // 4 menu
    QPalette::Base,            // 5 window
    QPalette::Shadow,          // 6 window frame
    QPalette::WindowText,      // 7 menu text
    QPalette::WindowText,      // 8 window text
    QPalette::HighlightedText, // 9 caption text
    QPalette::Window,          // 10 active border
    QPalette::Window,          // 11 inactive border
    QPalette::Mid,             // 12 application workspace
    QPalette::Highlight,       // 13 highlight
    QPalette::HighlightedText, // 14 highlight text
    QPalette::Button,          // 15 button face
    QPalette::Dark,            // 16 button shadow
    QPalette::PlaceholderText, // 17 grey text
    QPalette::ButtonText,      // 18 button text
    QPalette::Light,           // 19 inactive caption text
    QPalette::Light,           // 20 button highlight
    QPalette::Shadow,          // 21 3-D dark shadow
    QPalette::Midlight,        // 22 3-D light
    QPalette::ToolTipText,     // 23 tool-tip text
    QPalette::ToolTipBase,     // 24 tool-tip background
};

} // namespace

QColor colorToQColor(TColor color, const QPalette &palette)
{
    if ((color >> 24) == 0xFF) {
        const quint32 index = color & 0xFF;
        const QPalette::ColorRole role =
            index < kSystemRoles.size() ? kSystemRoles[index] : QPalette::Button;
        return palette.color(QPalette::Active, role);
    }
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

} // namespace kv
