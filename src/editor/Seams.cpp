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
    return QFileDialog::getOpenFileName(parent, QString(), m_initialFolder);
}

} // namespace kv
