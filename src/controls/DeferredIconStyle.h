// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProxyStyle>

namespace kv {

// The desktop's style, whose extension buttons of menu and tool bars read
// their icons when first drawn: read as each menu bar is built, they load
// every image plugin installed before the first window can show. They look
// the same.
class DeferredIconStyle : public QProxyStyle
{
    Q_OBJECT

public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};

} // namespace kv
