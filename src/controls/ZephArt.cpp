// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZephArt.h"

#include "BuiltInImage.h"

#include <QFile>

// Static libraries drop an unreferenced resource object; this keeps it.
static void initZephResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(zephbutton);
        return true;
    }();
    Q_UNUSED(done);
}

namespace kv::zeph {

namespace {

QString resourcePath(const QString &name)
{
    initZephResources();
    return QStringLiteral(":/button/") + name;
}

// Little-endian numbers; callers check the size first.
quint32 littleEndian(const QByteArray &d, qsizetype at, int bytes)
{
    quint32 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | quint8(d.at(at + i));
    return value;
}

quint32 u32(const QByteArray &d, qsizetype at)
{
    return littleEndian(d, at, 4);
}

quint16 u16(const QByteArray &d, qsizetype at)
{
    return quint16(littleEndian(d, at, 2));
}

} // namespace

QPixmap picture(const QString &name)
{
    return builtInPixmap(resourcePath(name), "bmp");
}

const QImage &popupMark()
{
    static const QImage mark = builtInImage(resourcePath(QStringLiteral("Strela")), "bmp");
    return mark;
}

std::optional<QCursor> handCursor()
{
    QFile file(resourcePath(QStringLiteral("HANDZephB")));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const std::optional<CursorImage> cursor = readMonochromeCursor(file.readAll());
    if (!cursor)
        return std::nullopt;
    return QCursor(QPixmap::fromImage(cursor->image), cursor->hotSpot.x(), cursor->hotSpot.y());
}

QString hoverSoundUrl()
{
    initZephResources();
    return QStringLiteral("qrc:/button/PREKO");
}

std::optional<CursorImage> readMonochromeCursor(const QByteArray &data)
{
    // Directory (6 bytes), one entry (16 bytes), then a bitmap header whose
    // height covers the colour rows and the mask rows.
    if (data.size() < 6 + 16 + 40 || u16(data, 2) != 2 || u16(data, 4) < 1)
        return std::nullopt;
    const QPoint hotSpot(u16(data, 10), u16(data, 12));
    const qsizetype header = u32(data, 18);
    if (header < 0 || header + 40 + 8 > data.size() || u32(data, header) < 40)
        return std::nullopt;
    const int width = int(u32(data, header + 4));
    const int height = int(u32(data, header + 8)) / 2;
    if (u16(data, header + 14) != 1 || width <= 0 || width > 256 || height <= 0 || height > 256)
        return std::nullopt;
    const qsizetype palette = header + u32(data, header);
    const qsizetype stride = (width + 31) / 32 * 4;
    const qsizetype colours = palette + 8;
    const qsizetype mask = colours + stride * height;
    if (mask + stride * height > data.size())
        return std::nullopt;
    const QRgb entry[2] = {
        qRgb(quint8(data[palette + 2]), quint8(data[palette + 1]), quint8(data[palette])),
        qRgb(quint8(data[palette + 6]), quint8(data[palette + 5]), quint8(data[palette + 4]))};
    auto bit = [&](qsizetype start, int x, int y) {
        const qsizetype row = start + stride * (height - 1 - y); // rows run bottom up
        return (quint8(data[row + x / 8]) >> (7 - x % 8)) & 1;
    };
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, bit(mask, x, y) ? 0u : entry[bit(colours, x, y)]);
    }
    return CursorImage{image, hotSpot};
}

} // namespace kv::zeph
