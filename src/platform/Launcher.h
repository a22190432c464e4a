// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

namespace kv {

// Starts programs without waiting for them, in a session of their own so that
// they outlive the program. Cheap enough for hundreds in one burst: no copy of
// this process is made. Their ends are collected in the background, so none
// lingers as a zombie.
class Launcher : public QObject
{
    Q_OBJECT

public:
    explicit Launcher(QObject *parent = nullptr);
    ~Launcher() override;

    // Looks the program up in PATH; false when it could not be started.
    bool start(const QString &program, const QStringList &arguments);

private:
    void collectEnded();

    QList<qint64> m_running;
    QTimer m_collector;
};

} // namespace kv
