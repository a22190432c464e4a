// SPDX-License-Identifier: GPL-3.0-or-later
#include "ClockWatcher.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

namespace kv {

ClockWatcher::ClockWatcher(const QDBusConnection &systemBus, QObject *parent) : QObject(parent)
{
    // A timer on the wall clock set far ahead: it never expires, but the kernel
    // cancels it whenever the clock is set, which wakes the notifier.
    m_fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd >= 0 && armStepTimer()) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &ClockWatcher::onStepTimer);
    } else if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }

    QDBusConnection bus(systemBus);
    bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"),
                this, SLOT(onPrepareForSleep(bool)));
}

ClockWatcher::~ClockWatcher()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool ClockWatcher::armStepTimer()
{
    itimerspec farAhead{};
    farAhead.it_value.tv_sec = std::time(nullptr) + 100LL * 366 * 24 * 3600; // never reached
    return timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &farAhead, nullptr) ==
           0;
}

void ClockWatcher::onStepTimer()
{
    std::uint64_t expirations = 0;
    const ssize_t n = ::read(m_fd, &expirations, sizeof expirations);
    if (n < 0 && errno == ECANCELED) {
        armStepTimer();
        emit clockChanged();
    }
}

void ClockWatcher::onPrepareForSleep(bool start)
{
    if (!start)
        emit resumed();
}

} // namespace kv
