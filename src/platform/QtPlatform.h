// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QProcessEnvironment>

namespace kv {

// Qt's windowing platform for the program. A Wayland client cannot stay on top,
// be shown without taking the focus, or learn that it was minimised; where the
// Wayland session also runs an X server (XWayland, DISPLAY set) the program
// takes Qt's X11 platform instead. QT_QPA_PLATFORM, the user's choice, wins.
class QtPlatform
{
public:
    // The platform to ask Qt for; empty to leave Qt its own choice.
    static QByteArray chosenFor(const QProcessEnvironment &environment);

    // Asks Qt for it, for the QApplication made next; release() once it is made,
    // so that the programs that tasks start make their own choice.
    QtPlatform();
    void release();

private:
    bool m_set = false;
};

} // namespace kv
