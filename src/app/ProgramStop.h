// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "StopSignals.h"

#include <QObject>

namespace kv {

// Ends the program as "Exit" does, table saved, when a signal or the end of the
// session asks, at any moment of its run. While it still starts, the event loop
// that a closed window would quit does not run yet: a stop then takes down the
// message the start shows, and every one that would follow, and exec() ends
// the program instead of running the loop.
class ProgramStop : public QObject
{
    Q_OBJECT

public:
    // After the application object.
    explicit ProgramStop(QObject *parent = nullptr);

    bool requested() const { return m_requested; }
    // The program's event loop; after a stop during the start, the close of
    // the window alone.
    int exec();
    void stop();

signals:
    // Close the main window as "Exit" does, unattended.
    void closeWindow();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    StopSignals m_signals;
    bool m_requested = false;
    bool m_running = false;
};

} // namespace kv
