// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileBaseDialogs.h"

#include "Errors.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

namespace kv {

namespace {

// Room in the title bar for the window's icon and its buttons.
constexpr int kTitleBarExtras = 140;

// Window managers cut a caption wider than its window, and a cut "Tasks are not
// stopped" reads as its opposite: the box is kept as wide as its caption in a
// bold title font, with room for the title bar's icon and buttons.
void fitCaption(QMessageBox &box)
{
    QFont bold = box.font();
    bold.setBold(true);
    const int width = QFontMetrics(bold).horizontalAdvance(box.windowTitle()) + kTitleBarExtras;
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

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
    //: File type of the dialogs of "Save base" and "Open base"; keep "(*.log)".
    QFileDialog dialog(m_owner, QString(), folder, tr("Text (*.log)"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("log"));
    // Modal to the main window only, so that the tray icon still answers.
    dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void FileBaseDialogs::warnTasksNotStopped()
{
    //: Title of the box that refuses "New base" while a task of the list has already fired.
    QMessageBox box(QMessageBox::Warning, tr("Tasks are not stopped"),
                    //: The text of that box.
                    tr("Tasks should be stopped!"), QMessageBox::Ok, m_owner);
    box.setWindowModality(Qt::WindowModal);
    fitCaption(box);
    box.exec();
}

BaseDialogs::CloseChoice FileBaseDialogs::askAfterFailedSave(const QString &message)
{
    QMessageBox box(QMessageBox::Warning, applicationTitle(),
                    message + QStringLiteral("\n\n") +
                        //: Question after the task list could not be saved as the program
                        //: closes; the failure's message stands before it.
                        tr("Save the task list elsewhere before Kronvale closes?"),
                    QMessageBox::NoButton, m_owner);
    //: Button of that question: save the list to another file.
    QPushButton *elsewhere = box.addButton(tr("Save elsewhere..."), QMessageBox::AcceptRole);
    //: Button of that question: close without saving.
    QPushButton *quit = box.addButton(tr("Quit anyway"), QMessageBox::DestructiveRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(elsewhere);
    box.setWindowModality(Qt::WindowModal);
    box.exec();
    if (box.clickedButton() == elsewhere)
        return CloseChoice::SaveElsewhere;
    if (box.clickedButton() == quit)
        return CloseChoice::QuitAnyway;
    return CloseChoice::KeepRunning;
}

} // namespace kv
