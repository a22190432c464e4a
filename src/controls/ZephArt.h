// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCursor>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <optional>

namespace kv::zeph {

// The button's artwork, compiled into the program. Resource names are those of
// resources/button/zephbutton.qrc, e.g. "DAGZephB".

// A picture by resource name; a null pixmap when there is none.
QPixmap picture(const QString &name);

// The popup-menu mark "Strela"; a null image when missing.
const QImage &popupMark();

// The hand cursor "HANDZephB"; nothing when it cannot be read.
std::optional<QCursor> handCursor();

// Where the hover sound "PREKO" lives, for players that take a URL.
QString hoverSoundUrl();

// Reads a 1-bit Windows cursor file: its image with transparency and its hot spot.
// Nothing for any other content.
struct CursorImage
{
    QImage image;
    QPoint hotSpot;
};
std::optional<CursorImage> readMonochromeCursor(const QByteArray &data);

} // namespace kv::zeph
