// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace kv {

class ErrorSink;

// The user's XDG autostart entry, <config>/autostart/<id>.desktop, which starts
// the program at login with its window in the tray. It is switched off the XDG
// way, by Hidden=true in the entry, so the choice lasts without a settings file
// of the program's own and survives the next start.
class AutostartEntry
{
public:
    // configFolder: the user's configuration folder ($XDG_CONFIG_HOME, by
    // default ~/.config), empty when there is no home to hold one: every
    // change then tells so; programPath: the absolute path of the program file.
    AutostartEntry(const QString &configFolder, const QString &applicationId, QString programPath,
                   ErrorSink &errors);

    static QString userConfigFolder();

    const QString &path() const { return m_path; }

    // At every start: writes the entry, switched on, when there is none. An
    // entry whose program file is gone (a moved or deleted copy) is pointed at
    // this program and keeps its switch; one of this program without TryExec
    // gets it. Anything but a regular file of an entry's size is left alone,
    // and told here (isEnabled() says nothing).
    void writeUnlessPresent();
    bool isEnabled() const;
    // Shows the error and returns false when the entry cannot be written or is
    // left alone; the entry is then as it was.
    bool setEnabled(bool enabled);

    // The Exec value that starts the program file in the tray, quoted and
    // escaped as desktop entries require; and the program file named by one.
    static QString execValue(const QString &programPath);
    static QString programOf(const QString &execValue);

private:
    struct Contents
    {
        QStringList lines; // none without an entry
        QString unusable;  // why the file is no entry to touch
    };
    Contents read() const;
    void tellUnusable(const QString &why) const;
    bool writeLines(QStringList lines);
    // Shows the error when there is no folder for the entry.
    bool noHome() const;
    QStringList freshEntry() const;

    QString m_path;
    QString m_programPath;
    QString m_applicationId;
    ErrorSink &m_errors;
};

} // namespace kv
