// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

namespace kv {

// Brings a modal dialog straight back when it is minimised: the window it
// blocks cannot be used meanwhile, and nothing would show the user why. Some
// window decorations offer a minimise button on every window, whatever the
// window's hints (Qt's own on Wayland). Watches the whole application.
class ModalReturn : public QObject
{
    Q_OBJECT

public:
    explicit ModalReturn(QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace kv
