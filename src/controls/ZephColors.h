// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPalette>

namespace kv {

// A colour value as the button's properties store it: 0x00BBGGRR, or, with 0xFF
// in the high byte, the system colour whose index is in the low byte.
using TColor = quint32;

inline constexpr TColor clBtnFace = 0xFF00000F;
inline constexpr TColor clBtnShadow = 0xFF000010;
inline constexpr TColor clBtnHighlight = 0xFF000014;
inline constexpr TColor clWindow = 0xFF000005;
inline constexpr TColor clBlack = 0x00000000;
inline constexpr TColor clBlue = 0x00FF0000;

// The one place where colour values become screen colours. System colours come
// from the palette's active group, so a disabled widget keeps its colours: the
// button draws its own disabled look.
QColor colorToQColor(TColor color, const QPalette &palette);

} // namespace kv
