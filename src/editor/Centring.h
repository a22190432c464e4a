// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QScreen>
#include <QWidget>

namespace kv {

// Places a dialog's client area centred over that of the window that owns it
// and every dialog in between (the main window), kept on that window's screen.
// Qt's own placement guesses the window frame, and under X11 the guess changes
// between showings: the dialog opened a title bar's height above the centre at
// some openings and jumped between them.
inline void centreOverParent(QWidget *dialog)
{
    QWidget *parent = dialog->parentWidget();
    while (parent && parent->parentWidget())
        parent = parent->parentWidget();
    if (!parent || !parent->isVisible() || parent->isMinimized()) {
        dialog->setAttribute(Qt::WA_Moved, false); // Qt's placement then takes over
        return;
    }
    QRect area(QPoint(), dialog->size());
    area.moveCenter(parent->geometry().center());
    if (const QScreen *screen = parent->screen()) {
        const QRect available = screen->availableGeometry();
        area.moveLeft(qMax(available.left(),
                           qMin(area.left(), available.x() + available.width() - area.width())));
        area.moveTop(qMax(available.top(),
                          qMin(area.top(), available.y() + available.height() - area.height())));
    }
    dialog->setGeometry(area);
}

} // namespace kv
