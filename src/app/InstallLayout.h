// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace kv {

// Where the program's own files lie. A build tree or a portable copy keeps them
// beside the program file; an installed tree keeps them under <prefix>/share,
// found from the program file's own place, never from a path fixed at build
// time, so a tree installed under one prefix and moved elsewhere still works.
class InstallLayout
{
public:
    explicit InstallLayout(QString programFolder);

    const QString &programFolder() const { return m_programFolder; }
    // The program lies in <prefix>/bin of a tree with <prefix>/share/kronvale.
    bool isInstalled() const;
    // The help page beside the program, else the installed one; empty when
    // there is neither. The page in the given language (help_ru.html for "ru")
    // where there is one, else the English help.html.
    QString helpPage(const QString &language = {}) const;
    // The folder of the task bases. An installed program keeps them in the
    // user's data folder: its own folder is shared by every user of the machine,
    // and writable by root alone.
    // Empty when neither the program's folder nor the user's data folder can
    // hold them; noBaseFolder() tells why the program does not start then.
    QString baseFolder(const QString &dataFolder) const;
    // The helper that sets the wake alarm: beside the program in a build tree,
    // in <prefix>/libexec/kronvale of an installed one; where it should be,
    // whether it is there or not.
    QString wakeAlarmHelper() const;
    static QString noBaseFolder();
    // Lets the desktop's icon theme find the installed tree's icons wherever the
    // tree lies.
    void addIconsToTheme() const;

private:
    QString shareFolder() const;

    QString m_programFolder;
};

} // namespace kv
