// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixedLook.h"

#include <QGuiApplication>

namespace kv {

QFont pixelFont(const QStringList &families, int pixels, bool bold)
{
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QFont dialogFont()
{
    return pixelFont({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")}, 11);
}

QPalette lightPalette(const QColor &background)
{
    // The classic light button face; black text and white fields follow from it.
    QPalette light(QColor(240, 240, 240));
    light.setColor(QPalette::Window, background);
    light.setColor(QPalette::PlaceholderText, QColor(128, 128, 128));
    light.setColor(QPalette::Disabled, QPalette::PlaceholderText, QColor(160, 160, 160));
    light.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    light.setColor(QPalette::ToolTipText, Qt::black);
    light.setColor(QPalette::Link, QColor(0, 0, 255));
    light.setColor(QPalette::LinkVisited, QColor(128, 0, 128));
    const QPalette desktop = QGuiApplication::palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
            light.setColor(group, role, desktop.color(group, role));
    }
    return light;
}

} // namespace kv
