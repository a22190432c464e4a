// SPDX-License-Identifier: GPL-3.0-or-later
#include "BuiltInImage.h"

#include <QImageReader>

namespace kv {

QImage builtInImage(const QString &path, const char *format)
{
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QPixmap builtInPixmap(const QString &path, const char *format)
{
    return QPixmap::fromImage(builtInImage(path, format));
}

} // namespace kv
