// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPixmap>

namespace kv {

// An ordered list of pictures that components share and pick by index.
class TImageList : public QObject
{
    Q_OBJECT

public:
    explicit TImageList(QObject *owner = nullptr);

    int count() const { return int(m_pictures.size()); }
    // Returns the new picture's index.
    int add(const QPixmap &picture);
    void remove(int index);
    void clear() { m_pictures.clear(); }
    QPixmap picture(int index) const { return m_pictures.value(index); }
    // A new icon of picture index; an empty icon for an index outside the list.
    QIcon icon(int index) const;

private:
    QList<QPixmap> m_pictures;
};

} // namespace kv
