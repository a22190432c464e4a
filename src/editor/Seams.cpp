// SPDX-License-Identifier: GPL-3.0-or-later
#include "Beeper.h"
#include "FileChooser.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>

namespace kv {

void SystemBeeper::beep()
{
    QApplication::beep();
}

QtFileChooser::QtFileChooser() : m_initialFolder(QCoreApplication::applicationDirPath()) {}

QString QtFileChooser::chooseFile(QWidget *parent)
{
    // Not the static dialog, which blocks the whole program, the tray icon too.
    QFileDialog dialog(parent, QString(), m_initialFolder);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace kv
