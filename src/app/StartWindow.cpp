// SPDX-License-Identifier: GPL-3.0-or-later
#include "StartWindow.h"

#include <QScreen>
#include <QWidget>

namespace kv {

void showAtStart(QWidget &window, bool intoTray, bool trayPresent)
{
    // Centred also when it starts in the tray, so "Open" shows it there.
    window.adjustSize();
    if (const QScreen *screen = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    if (!intoTray)
        window.show();
    else if (!trayPresent)
        window.showMinimized();
}

} // namespace kv
