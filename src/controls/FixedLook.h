// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QStringList>

namespace kv {

// A font of a fixed pixel height, the first of `families` that is installed:
// fixed layouts keep their room whatever the desktop's font size.
QFont pixelFont(const QStringList &families, int pixels, bool bold = false);

// "MS Sans Serif" at 11 pixels, or the stand-in with its metrics.
QFont dialogFont();

// A light palette around a fixed background: black text, white fields and
// light bevels whatever the desktop's colours, so that a window with colours
// of its own reads on a dark desktop as on a light one. Only the highlight
// stays the desktop's.
QPalette lightPalette(const QColor &background);

} // namespace kv
