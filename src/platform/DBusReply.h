// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QObject>
#include <functional>
#include <utility>

namespace kv {

// Calls `answered` with the reply of `pending` once it comes, from the event
// loop, while `context` lives. Without a bus the call has ended before it began
// and a plain watcher would wait for ever: the error is answered then too.
inline void whenAnswered(const QDBusPendingCall &pending, QObject *context,
                         std::function<void(const QDBusMessage &)> answered)
{
    if (pending.isFinished()) {
        QMetaObject::invokeMethod(
            context, [answered = std::move(answered), reply = pending.reply()] { answered(reply); },
            Qt::QueuedConnection);
        return;
    }
    auto *watcher = new QDBusPendingCallWatcher(pending, context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [answered = std::move(answered)](QDBusPendingCallWatcher *finished) {
                         finished->deleteLater();
                         answered(finished->reply());
                     });
}

} // namespace kv
