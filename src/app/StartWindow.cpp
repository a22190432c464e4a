// SPDX-License-Identifier: GPL-3.0-or-later
#include "StartWindow.h"

#include <QScreen>
#include <QWidget>

namespace kv {

namespace {

// The window manager's title bar is not known before the window is on the
// screen; with the usual height the frame, not only the inside, is centred.
constexpr int kTitleBarGuess = 36;

} // namespace

void showAtStart(QWidget &window, bool intoTray, bool trayPresent)
{
    // Centred also when it starts in the tray, so "Open" shows it there.
    window.adjustSize();
    if (const QScreen *screen = window.screen()) {
        QRect frame = window.frameGeometry();
        if (frame == window.geometry())
            frame.setTop(frame.top() - kTitleBarGuess);
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    if (!intoTray)
        window.show();
    else if (!trayPresent)
        window.showMinimized();
}

} // namespace kv
