// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace kv {

class ErrorPipe;

// Starts programs without waiting for them, in a session of their own so that
// they outlive the program, their input and output away from ours. Cheap enough
// for hundreds in one burst: no copy of this process is made, and nothing
// blocks. Their ends are collected in the background, so none lingers as a
// zombie.
class Launcher : public QObject
{
    Q_OBJECT

public:
    // How a program watched to its end ended: its exit status (128 + the signal
    // that killed it), and the last line it wrote to its standard error.
    using Ended = std::function<void(int status, const QString &lastErrorLine)>;

    explicit Launcher(QObject *parent = nullptr);
    ~Launcher() override;

    // Looks the program up in PATH and tells `ended` once, from the event loop,
    // when it has exited. False when it could not be started; `ended` is not
    // called then.
    bool watch(const QString &program, const QStringList &arguments, Ended ended);
    // Runs the file itself, without a shell or arguments, in `folder`. Empty
    // when it started; else the system's reason (a missing interpreter, say).
    QString run(const QString &fileName, const QString &folder);

private:
    struct Child
    {
        qint64 pid = 0;
        Ended ended; // empty when nobody waits for its end
        QPointer<ErrorPipe> errors;
    };

    void collectEnded();

    QList<Child> m_running;
    QTimer m_collector;
};

} // namespace kv
