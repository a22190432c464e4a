// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace kv {

// Asks the user for an existing file; tests answer in the user's place.
class FileChooser
{
public:
    virtual ~FileChooser() = default;
    // The chosen file's full name, or an empty text when the user cancels.
    virtual QString chooseFile(QWidget *parent) = 0;
};

// The desktop's open dialog, without a filter, starting in the program's folder,
// modal to its owner's window only.
class QtFileChooser : public FileChooser
{
public:
    QtFileChooser();
    QString chooseFile(QWidget *parent) override;

private:
    QString m_initialFolder;
};

} // namespace kv
