// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace kv {

// Holds back the keys meant for a window until the user has clicked in it or
// come back to it from another window. A window that takes the keyboard as it
// appears would otherwise answer a Return or an Esc typed for another one.
class KeysAfterClick : public QObject
{
    Q_OBJECT

public:
    // Watches `window` and its children; owned by it.
    explicit KeysAfterClick(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_window;
    bool m_armed = false;
    bool m_left = false; // the window has lost the keyboard since it appeared
};

} // namespace kv
