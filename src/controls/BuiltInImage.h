// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

namespace kv {

// A picture compiled into the program, read as the format it is known to have:
// guessing its format from the content would load every image plugin
// installed. Null when it cannot be read so.
QImage builtInImage(const QString &path, const char *format);
QPixmap builtInPixmap(const QString &path, const char *format);

} // namespace kv
