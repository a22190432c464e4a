// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

namespace kv::test {

// openbox on the X server that DISPLAY names, with a home of its own, for tests
// in which a window manager has a say (focus, frames, placement).
class WindowManager
{
public:
    WindowManager()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
            env.insert(QLatin1String(name), m_home.path());
        m_process.setProcessEnvironment(env);
        m_process.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        // It manages the screen once it names itself on the root window.
        const QDeadlineTimer deadline(10000);
        for (QProcess check; !deadline.hasExpired(); QThread::msleep(50)) {
            check.start(QStringLiteral("xprop"),
                        {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
            check.waitForFinished();
            if (check.readAllStandardOutput().contains("window id")) {
                m_running = true;
                break;
            }
        }
    }
    ~WindowManager()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }
    WindowManager(const WindowManager &) = delete;
    WindowManager &operator=(const WindowManager &) = delete;

    bool isRunning() const { return m_running; }

private:
    QTemporaryDir m_home;
    QProcess m_process;
    bool m_running = false;
};

} // namespace kv::test
