// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <algorithm>

namespace kv {

// The maker's addresses, the only place they are written.
namespace links {
inline QString homePage()
{
    return QStringLiteral("https://ostrova.example/");
}
inline QString productPage()
{
    return QStringLiteral("https://ostrova.example/kronvale/");
}
inline QString supportMail()
{
    return QStringLiteral("kv@ostrova.example");
}
// The program's name on the desktop (menu entry, icons, software centres, login
// start): the maker's domain reversed, then the program.
inline QString applicationId()
{
    QStringList labels = QUrl(homePage()).host().split(QLatin1Char('.'));
    std::reverse(labels.begin(), labels.end());
    return labels.join(QLatin1Char('.')) + QStringLiteral(".Kronvale");
}
inline QString helpFileName()
{
    return QStringLiteral("help.html");
}
} // namespace links

// Hands web and mail links to the desktop; fire-and-forget like every shell call.
class LinkOpener
{
public:
    virtual ~LinkOpener() = default;
    virtual void openLink(const QUrl &url) = 0;
};

// The desktop's handler for the link's scheme (browser, mail program).
class DesktopLinkOpener : public LinkOpener
{
public:
    void openLink(const QUrl &url) override;
};

} // namespace kv
