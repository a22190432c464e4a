// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramStop.h"

#include <QApplication>
#include <QDialog>
#include <QSessionManager>

namespace kv {

namespace {

// Ends the message's own event loop, whatever its buttons.
void takeDown(QWidget *message)
{
    if (auto *dialog = qobject_cast<QDialog *>(message))
        dialog->reject();
    else
        message->close();
}

} // namespace

ProgramStop::ProgramStop(QObject *parent) : QObject(parent)
{
    connect(&m_signals, &StopSignals::stopRequested, this, &ProgramStop::stop);
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &) { stop(); });
    qApp->installEventFilter(this);
}

int ProgramStop::exec()
{
    if (m_requested) {
        emit closeWindow();
        return 0;
    }
    m_running = true;
    qApp->removeEventFilter(this);
    return QApplication::exec();
}

void ProgramStop::stop()
{
    m_requested = true;
    if (m_running) {
        emit closeWindow();
        return;
    }
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->isVisible() && window->isModal())
            takeDown(window);
    }
}

bool ProgramStop::eventFilter(QObject *watched, QEvent *event)
{
    // A message that the start shows after the stop comes down as it opens.
    if (event->type() == QEvent::Show && m_requested && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        if (widget->isWindow() && widget->isModal())
            QMetaObject::invokeMethod(
                widget, [widget] { takeDown(widget); }, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kv
