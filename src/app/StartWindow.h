// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace kv {

// Shows the main window at the start, centred on the desktop. The login start
// (--tray) leaves it hidden in the tray where there is one, and minimised where
// there is none.
void showAtStart(QWidget &window, bool intoTray, bool trayPresent);

} // namespace kv
