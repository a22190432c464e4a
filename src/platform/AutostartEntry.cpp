// SPDX-License-Identifier: GPL-3.0-or-later
#include "AutostartEntry.h"

#include "Errors.h"
#include "RegularFile.h"
#include "UserFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <utility>

namespace kv {

namespace {

class Texts
{
    Q_DECLARE_TR_FUNCTIONS(AutostartEntry)
};

const QString kMainGroup = QStringLiteral("[Desktop Entry]");
const QString kHidden = QStringLiteral("Hidden");
// GNOME's older switch, still written by some settings tools.
const QString kGnomeEnabled = QStringLiteral("X-GNOME-Autostart-enabled");
const QString kExec = QStringLiteral("Exec");
const QString kTryExec = QStringLiteral("TryExec");
// Far more than any entry takes; what is larger is no entry of ours.
constexpr qint64 kMaxBytes = 256 * 1024;

QString keyOf(const QString &line)
{
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    return equals < 0 ? QString() : line.left(equals).trimmed();
}

QString valueOf(const QString &line)
{
    return line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
}

// The lines of the main group's keys: [first, end), or first == -1 without one.
std::pair<qsizetype, qsizetype> mainGroup(const QStringList &lines)
{
    const qsizetype header = lines.indexOf(kMainGroup);
    if (header < 0)
        return {-1, -1};
    qsizetype end = header + 1;
    while (end < lines.size() && !lines[end].startsWith(QLatin1Char('[')))
        ++end;
    return {header + 1, end};
}

// A value with the string escapes of a desktop entry.
QString escaped(QString value)
{
    return value.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('\n'), QStringLiteral("\\n"))
        .replace(QLatin1Char('\t'), QStringLiteral("\\t"))
        .replace(QLatin1Char('\r'), QStringLiteral("\\r"));
}

// Sets the key in the main group [first, end): its line replaced, else one
// added after the line `after`.
void setKey(QStringList &lines, qsizetype first, qsizetype end, const QString &key,
            const QString &value, qsizetype after)
{
    const QString line = key + QLatin1Char('=') + value;
    for (qsizetype i = first; i < end; ++i) {
        if (keyOf(lines[i]) == key) {
            lines[i] = line;
            return;
        }
    }
    lines.insert(after + 1, line);
}

bool switchedOff(const QString &line)
{
    const QString key = keyOf(line);
    return (key == kHidden && valueOf(line) == QLatin1String("true")) ||
           (key == kGnomeEnabled && valueOf(line) == QLatin1String("false"));
}

} // namespace

AutostartEntry::AutostartEntry(const QString &configFolder, const QString &applicationId,
                               QString programPath, ErrorSink &errors)
    : m_path(configFolder.isEmpty()
                 ? QString()
                 : QDir(configFolder)
                       .filePath(QStringLiteral("autostart/%1.desktop").arg(applicationId))),
      m_programPath(std::move(programPath)), m_applicationId(applicationId), m_errors(errors)
{}

QString AutostartEntry::userConfigFolder()
{
    return UserFolders::configHome();
}

QString AutostartEntry::execValue(const QString &programPath)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString program = programPath;
    if (std::any_of(program.cbegin(), program.cend(),
                    [](QChar c) { return reserved.contains(c); })) {
        QString quoted;
        for (QChar c : std::as_const(program)) {
            if (QStringLiteral("\"`$\\").contains(c))
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        program = QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    program.replace(QLatin1Char('%'), QStringLiteral("%%"));
    // The string escapes of a desktop entry come on top of the quoting.
    return escaped(program + QStringLiteral(" --tray"));
}

QString AutostartEntry::programOf(const QString &execValue)
{
    QString text;
    for (qsizetype i = 0; i < execValue.size(); ++i) {
        QChar c = execValue[i];
        if (c == QLatin1Char('\\') && i + 1 < execValue.size()) {
            const char code = execValue[++i].toLatin1();
            c = code == 's'   ? QChar(' ')
                : code == 'n' ? QChar('\n')
                : code == 't' ? QChar('\t')
                : code == 'r' ? QChar('\r')
                              : execValue[i];
        }
        text += c;
    }
    QString program;
    qsizetype i = 0;
    if (text.startsWith(QLatin1Char('"'))) {
        for (i = 1; i < text.size() && text[i] != QLatin1Char('"'); ++i) {
            if (text[i] == QLatin1Char('\\') && i + 1 < text.size())
                ++i;
            program += text[i];
        }
    } else {
        program = text.section(QLatin1Char(' '), 0, 0);
    }
    return program.replace(QStringLiteral("%%"), QStringLiteral("%"));
}

AutostartEntry::Contents AutostartEntry::read() const
{
    Contents contents;
    RegularFile file = RegularFile::read(m_path, kMaxBytes);
    switch (file.outcome) {
    case RegularFile::Outcome::Read:
        contents.lines = QString::fromUtf8(file.bytes).split(QLatin1Char('\n'));
        // Written on another system, or by hand.
        for (QString &line : contents.lines) {
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
        }
        break;
    case RegularFile::Outcome::NotRegular:
        //: Why the login start entry is left as it is, after "The start at login in %1 is left as
        //: it is:".
        contents.unusable = Texts::tr("it is not a regular file");
        break;
    case RegularFile::Outcome::TooLarge:
        //: Why the login start entry is left as it is, after "The start at login in %1 is left as
        //: it is:".
        contents.unusable = Texts::tr("it is far larger than any such entry");
        break;
    case RegularFile::Outcome::Failed:
        // No entry, or a link to none: one is written.
        if (file.errorNumber != ENOENT && file.errorNumber != ENOTDIR)
            contents.unusable =
                file.errorString.isEmpty() ? qt_error_string(file.errorNumber) : file.errorString;
        break;
    }
    return contents;
}

void AutostartEntry::tellUnusable(const QString &why) const
{
    //: %1 is the login start entry's file, %2 why it is not touched.
    m_errors.showError(Texts::tr("The start at login in %1 is left as it is: %2").arg(m_path, why));
}

bool AutostartEntry::writeLines(QStringList lines)
{
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    const QByteArray bytes = (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    const QString folder = QFileInfo(m_path).path();
    // Written beside and renamed over the entry: a link in its place is
    // replaced, never followed out of the folder.
    QTemporaryFile file(QDir(folder).filePath(QLatin1Char('.') + QFileInfo(m_path).fileName()));
    QString failure;
    if (!QDir().mkpath(folder))
        //: Why the login start entry could not be written, after "The start at login cannot be
        //: written to %1:".
        failure = Texts::tr("its folder cannot be made");
    else if (!file.open() || file.write(bytes) != bytes.size() || !file.flush() ||
             !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                  QFile::ReadOther))
        failure = file.errorString();
    else if (std::rename(QFile::encodeName(file.fileName()).constData(),
                         QFile::encodeName(m_path).constData()) != 0)
        failure = qt_error_string(errno);
    else
        file.setAutoRemove(false);
    if (failure.isEmpty())
        return true;
    m_errors.showError(
        //: %1 is the login start entry's file, %2 why.
        Texts::tr("The start at login cannot be written to %1: %2").arg(m_path, failure));
    return false;
}

bool AutostartEntry::noHome() const
{
    if (!m_path.isEmpty())
        return false;
    //: %1 says why, e.g. "there is no home folder: HOME is not set to an absolute path".
    m_errors.showError(
        Texts::tr("The start at login cannot be written: %1").arg(UserFolders::noHomeText()));
    return true;
}

QStringList AutostartEntry::freshEntry() const
{
    return {kMainGroup, QStringLiteral("Type=Application"), QStringLiteral("Name=Kronvale"),
            //: The generic name in the user's login start entry, as the desktop's session
            //: settings show it.
            QStringLiteral("GenericName=") + Texts::tr("Task Scheduler"),
            QStringLiteral("Comment=") +
                //: The comment in the user's login start entry.
                Texts::tr("Starts the task scheduler in the tray at login"),
            QStringLiteral("Exec=") + execValue(m_programPath),
            // After the program has gone no session tries to start it.
            QStringLiteral("TryExec=") + escaped(m_programPath),
            QStringLiteral("Icon=") + m_applicationId, QStringLiteral("Terminal=false")};
}

void AutostartEntry::writeUnlessPresent()
{
    if (noHome())
        return;
    Contents contents = read();
    QStringList &lines = contents.lines;
    if (!contents.unusable.isEmpty()) {
        tellUnusable(contents.unusable);
        return;
    }
    if (lines.isEmpty()) {
        writeLines(freshEntry());
        return;
    }
    const auto [first, end] = mainGroup(lines);
    for (qsizetype i = first; i >= 0 && i < end; ++i) {
        if (keyOf(lines[i]) != kExec)
            continue;
        const QString program = programOf(valueOf(lines[i]));
        const bool gone = QDir::isAbsolutePath(program) && !QFileInfo::exists(program);
        // An entry of this program from before it named itself for TryExec.
        const bool ours = program == m_programPath &&
                          std::none_of(lines.cbegin() + first, lines.cbegin() + end,
                                       [](const QString &line) { return keyOf(line) == kTryExec; });
        if (gone)
            lines[i] = kExec + QLatin1Char('=') + execValue(m_programPath);
        if (gone || ours) {
            setKey(lines, first, end, kTryExec, escaped(m_programPath), i);
            writeLines(lines);
        }
        return;
    }
}

bool AutostartEntry::isEnabled() const
{
    if (m_path.isEmpty())
        return false;
    const QStringList lines = read().lines;
    const auto [first, end] = mainGroup(lines);
    return first >= 0 && std::none_of(lines.cbegin() + first, lines.cbegin() + end, switchedOff);
}

bool AutostartEntry::setEnabled(bool enabled)
{
    if (noHome())
        return false;
    const Contents contents = read();
    if (!contents.unusable.isEmpty()) {
        tellUnusable(contents.unusable);
        return false;
    }
    QStringList lines = contents.lines;
    if (mainGroup(lines).first < 0)
        lines = freshEntry();
    auto [first, end] = mainGroup(lines);
    for (qsizetype i = end - 1; i >= first; --i) {
        if (keyOf(lines[i]) == kHidden || switchedOff(lines[i])) {
            lines.removeAt(i);
            --end;
        }
    }
    // After the last key, before any blank lines that end the group.
    while (end > first && lines[end - 1].trimmed().isEmpty())
        --end;
    if (!enabled)
        lines.insert(end, kHidden + QStringLiteral("=true"));
    return writeLines(lines);
}

} // namespace kv
