// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImageList.h"

namespace kv {

TImageList::TImageList(QObject *owner) : QObject(owner) {}

int TImageList::add(const QPixmap &picture)
{
    m_pictures.append(picture);
    return count() - 1;
}

void TImageList::remove(int index)
{
    if (index >= 0 && index < count())
        m_pictures.removeAt(index);
}

QIcon TImageList::icon(int index) const
{
    if (index < 0 || index >= count())
        return QIcon();
    return QIcon(m_pictures.at(index));
}

} // namespace kv
