// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "WakeForTasks.h"

#include <QCoreApplication>
#include <QObject>
#include <QProcess>

namespace kv {

// The wake alarm held by the helper program kronvale-wakealarm, which alone has
// the capability to set it (CAP_WAKE_ALARM). The helper starts with the first
// wake time, takes each time as a line on its input, and ends, disarmed, when
// stop() closes that input.
class HelperWakeAlarm : public QObject, public WakeAlarm
{
    Q_OBJECT

public:
    explicit HelperWakeAlarm(QString helperPath, QObject *parent = nullptr);
    ~HelperWakeAlarm() override;

    // Asks the helper whether it can set the alarm; available() tells, from
    // the event loop.
    void check();
    void setWakeTime(const std::optional<QDateTime> &at) override;
    void stop();

    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    qint64 processId() const { return m_process.processId(); }

signals:
    // Whether the alarm can be used; why not, in words for the user.
    void available(bool usable, const QString &why);
    // The helper failed after it had started: the machine will not wake.
    void failed(const QString &why);

private:
    void helperEnded(int exitCode, QProcess::ExitStatus status);
    void readAnswers();
    QString unusableReason(int exitCode, const QString &said) const;

    QString m_helperPath;
    QProcess m_process;
    QProcess *m_check = nullptr;
    bool m_stopping = false;
};

} // namespace kv
