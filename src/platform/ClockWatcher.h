// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>

class QSocketNotifier;

namespace kv {

// Tells when the wall clock was set (by the user, by time synchronisation) and
// when the machine woke from sleep: after either, what is due next must be
// worked out anew.
class ClockWatcher : public QObject
{
    Q_OBJECT

public:
    explicit ClockWatcher(const QDBusConnection &systemBus = QDBusConnection::systemBus(),
                          QObject *parent = nullptr);
    ~ClockWatcher() override;

    // Whether setting the clock can be noticed here; the program also re-arms at
    // every five-second tick, so nothing depends on it.
    bool watchesClockSteps() const { return m_fd >= 0; }

signals:
    void clockChanged();
    void resumed();

private slots:
    void onPrepareForSleep(bool start);

private:
    bool armStepTimer();
    void onStepTimer();

    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace kv
