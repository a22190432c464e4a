// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileBaseDialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace kv {

QString FileBaseDialogs::chooseSavePath(const QString &folder)
{
    return choose(folder, true);
}

QString FileBaseDialogs::chooseOpenPath(const QString &folder)
{
    return choose(folder, false);
}

QString FileBaseDialogs::choose(const QString &folder, bool save)
{
    QFileDialog dialog(m_owner, QString(), folder,
                       QCoreApplication::translate("kv::FileBaseDialogs", "Text (*.log)"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("log"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void FileBaseDialogs::warnTasksNotStopped()
{
    QMessageBox box(QMessageBox::Warning,
                    QCoreApplication::translate("kv::FileBaseDialogs", "Tasks are not stopped"),
                    QCoreApplication::translate("kv::FileBaseDialogs", "Tasks should be stopped!"),
                    QMessageBox::Ok, m_owner);
    box.exec();
}

} // namespace kv
