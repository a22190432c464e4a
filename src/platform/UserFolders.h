// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace kv {

// The user's configuration, data and cache folders by the XDG base directory
// rules: $XDG_CONFIG_HOME, $XDG_DATA_HOME and $XDG_CACHE_HOME when they hold an
// absolute path (a relative one would name another folder from every working
// folder, so it is ignored), else ~/.config, ~/.local/share and ~/.cache. Empty
// when there is no usable home either: HOME unset, empty or relative.
namespace UserFolders {

QString configHome();
QString dataHome();
QString cacheHome();
// The program's own folder in dataHome(), named after the application.
QString programData();
// Why a folder above is empty, for the error box.
QString noHomeText();

} // namespace UserFolders

} // namespace kv
