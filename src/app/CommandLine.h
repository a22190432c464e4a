// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

namespace kv {

// The program's options. Read before the application object exists, so --help
// and --version answer without a display.
struct CommandLine
{
    // --tray: the login start, with the window hidden in the tray.
    bool tray = false;
    // Set when the program ends at once: 0 after --help or --version, which
    // printed their answer (1 when it could not be written), 2 after a mistake,
    // which printed its message.
    std::optional<int> exitStatus;
};

CommandLine readCommandLine(int argc, char *argv[]);

} // namespace kv
