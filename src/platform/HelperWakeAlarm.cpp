// SPDX-License-Identifier: GPL-3.0-or-later
#include "HelperWakeAlarm.h"

#include <QFileInfo>
#include <utility>

namespace kv {

namespace {

// The helper's exit status when it cannot make the alarm.
constexpr int kNoAlarm = 3;

} // namespace

HelperWakeAlarm::HelperWakeAlarm(QString helperPath, QObject *parent)
    : QObject(parent), m_helperPath(std::move(helperPath))
{
    connect(&m_process, &QProcess::finished, this, &HelperWakeAlarm::helperEnded);
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            emit failed(m_process.errorString());
    });
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &HelperWakeAlarm::readAnswers);
}

HelperWakeAlarm::~HelperWakeAlarm()
{
    stop();
}

void HelperWakeAlarm::check()
{
    if (!QFileInfo(m_helperPath).isExecutable()) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                //: Tool tip of the greyed-out "Wake the computer for tasks": %1 is the helper
                //: program's file name.
                emit available(false,
                               tr("The helper program %1 is not installed.").arg(m_helperPath));
            },
            Qt::QueuedConnection);
        return;
    }
    delete m_check;
    m_check = new QProcess(this);
    connect(m_check, &QProcess::finished, this,
            [this, check = m_check](int exitCode, QProcess::ExitStatus status) {
                const QString said =
                    QString::fromLocal8Bit(check->readAllStandardError()).trimmed();
                check->deleteLater();
                m_check = nullptr;
                const bool usable = status == QProcess::NormalExit && exitCode == 0;
                emit available(usable, usable ? QString() : unusableReason(exitCode, said));
            });
    connect(m_check, &QProcess::errorOccurred, this,
            [this, check = m_check](QProcess::ProcessError error) {
                if (error != QProcess::FailedToStart)
                    return;
                check->deleteLater();
                m_check = nullptr;
                emit available(false, unusableReason(-1, check->errorString()));
            });
    m_check->start(m_helperPath, {QStringLiteral("--check")});
}

QString HelperWakeAlarm::unusableReason(int exitCode, const QString &said) const
{
    if (exitCode == kNoAlarm && said.contains(QLatin1String("CAP_WAKE_ALARM")))
        //: Tool tip of the greyed-out "Wake the computer for tasks": %1 is the helper program's
        //: file name. Keep the command as it stands.
        return tr("The helper program %1 lacks the capability to wake the computer. An "
                  "administrator can give it with: setcap cap_wake_alarm+ep %1")
            .arg(m_helperPath);
    //: Tool tip of the greyed-out "Wake the computer for tasks": %1 is the helper program's
    //: file name, %2 what went wrong, in the system's words.
    return tr("The helper program %1 cannot set a wake alarm: %2").arg(m_helperPath, said);
}

void HelperWakeAlarm::setWakeTime(const std::optional<QDateTime> &at)
{
    if (!at && !isRunning())
        return;
    if (!isRunning()) {
        m_stopping = false;
        m_process.start(m_helperPath, {});
    }
    // 0 disarms; no wake time lies at the epoch itself.
    const qint64 seconds = at ? std::max<qint64>(at->toSecsSinceEpoch(), 1) : 0;
    m_process.write(QByteArray::number(seconds) + '\n');
}

void HelperWakeAlarm::stop()
{
    if (!isRunning())
        return;
    m_stopping = true;
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(2000))
        m_process.kill();
}

void HelperWakeAlarm::readAnswers()
{
    while (m_process.canReadLine()) {
        const QString line = QString::fromLocal8Bit(m_process.readLine()).trimmed();
        if (line.startsWith(QLatin1String("refused ")))
            //: Why the computer will not wake for tasks: %1 is the system's reason.
            emit failed(tr("The wake alarm could not be set: %1").arg(line.mid(8)));
    }
}

void HelperWakeAlarm::helperEnded(int exitCode, QProcess::ExitStatus status)
{
    if (m_stopping)
        return;
    const QString said = QString::fromLocal8Bit(m_process.readAllStandardError()).trimmed();
    if (status == QProcess::CrashExit || said.isEmpty())
        //: Why the computer will not wake for tasks: the helper program has ended.
        emit failed(tr("The helper program %1 has ended.").arg(m_helperPath));
    else
        emit failed(unusableReason(exitCode, said));
}

} // namespace kv
