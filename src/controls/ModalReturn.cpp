// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModalReturn.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace kv {

ModalReturn::ModalReturn(QObject *parent) : QObject(parent)
{
    qApp->installEventFilter(this);
}

bool ModalReturn::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::WindowStateChange || !watched->isWidgetType())
        return false;
    auto *window = static_cast<QWidget *>(watched);
    if (!window->isWindow() || !window->isModal() || !window->isMinimized())
        return false;
    // At once, while the click that minimised it still counts as the user's
    // last action on it: the activation, which un-minimises it where the
    // window itself cannot (Wayland), is granted only for that.
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    if (QWindow *handle = window->windowHandle())
        handle->requestActivate();
    return false;
}

} // namespace kv
