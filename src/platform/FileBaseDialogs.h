// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TaskBase.h"

#include <QPointer>
#include <QWidget>

namespace kv {

// The file dialogs of "Save base" and "Open base" (task bases, *.log) and the
// box that refuses "New base" while tasks have fired.
class FileBaseDialogs : public BaseDialogs
{
    Q_DECLARE_TR_FUNCTIONS(kv::FileBaseDialogs)

public:
    explicit FileBaseDialogs(QWidget *owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget *owner) { m_owner = owner; }

    QString chooseSavePath(const QString &folder) override;
    QString chooseOpenPath(const QString &folder) override;
    void warnTasksNotStopped() override;
    CloseChoice askAfterFailedSave(const QString &message) override;

private:
    QString choose(const QString &folder, bool save);

    QPointer<QWidget> m_owner;
};

} // namespace kv
