// SPDX-License-Identifier: GPL-3.0-or-later
#include "Links.h"

#include <QDesktopServices>

namespace kv {

void DesktopLinkOpener::openLink(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}

} // namespace kv
