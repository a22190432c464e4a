#pragma once

#include <QString>
#include <QUrl>

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
