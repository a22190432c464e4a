// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeysAfterClick.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace kv {

KeysAfterClick::KeysAfterClick(QWidget *window) : QObject(window), m_window(window)
{
    // Keys go to the focus widget and shortcuts to the whole window: only the
    // application sees them all before they act.
    qApp->installEventFilter(this);
}

bool KeysAfterClick::eventFilter(QObject *watched, QEvent *event)
{
    if (m_armed || !m_window || !watched->isWidgetType())
        return false;
    const auto *widget = static_cast<QWidget *>(watched);
    if (widget->window() != m_window)
        return false;
    switch (event->type()) {
    case QEvent::WindowDeactivate:
        m_left = m_left || widget == m_window;
        return false;
    case QEvent::WindowActivate:
        if (!m_left || widget != m_window)
            return false;
        [[fallthrough]];
    case QEvent::MouseButtonPress:
        m_armed = true;
        qApp->removeEventFilter(this);
        return false;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
        return true;
    default:
        return false;
    }
}

} // namespace kv
