// SPDX-License-Identifier: GPL-3.0-or-later
#include "AutostartEntry.h"

#include "Errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
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

bool switchedOff(const QString &line)
{
    const QString key = keyOf(line);
    return (key == kHidden && valueOf(line) == QLatin1String("true")) ||
           (key == kGnomeEnabled && valueOf(line) == QLatin1String("false"));
}

} // namespace

AutostartEntry::AutostartEntry(const QString &configFolder, const QString &applicationId,
                               QString programPath, ErrorSink &errors)
    : m_path(
          QDir(configFolder).filePath(QStringLiteral("autostart/%1.desktop").arg(applicationId))),
      m_programPath(std::move(programPath)), m_applicationId(applicationId), m_errors(errors)
{}

QString AutostartEntry::userConfigFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
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
    QString value = program + QStringLiteral(" --tray");
    // The string escapes of a desktop entry come on top of the quoting.
    return value.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('\n'), QStringLiteral("\\n"))
        .replace(QLatin1Char('\t'), QStringLiteral("\\t"))
        .replace(QLatin1Char('\r'), QStringLiteral("\\r"));
}

QString AutostartEntry::programOf(const QString &execValue)
{
    QString text;
    for (qsizetype i = 0; i < execValue.size(); ++i) {
        QChar c = execValue[i];
        if (c == QLatin1Char('\\') && i + 1 < execValue.size()) {
            const char escaped = execValue[++i].toLatin1();
            c = escaped == 's'   ? QChar(' ')
                : escaped == 'n' ? QChar('\n')
                : escaped == 't' ? QChar('\t')
                : escaped == 'r' ? QChar('\r')
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

QStringList AutostartEntry::readLines() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
}

bool AutostartEntry::writeLines(QStringList lines)
{
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    const QByteArray bytes = (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    QSaveFile file(m_path);
    QString failure;
    if (!QDir().mkpath(QFileInfo(m_path).path()))
        //: Why the login start entry could not be written, after "The start at login cannot be
        //: written to %1:".
        failure = Texts::tr("its folder cannot be made");
    else if (!file.open(QIODevice::WriteOnly))
        failure = file.errorString();
    else if (file.write(bytes) != bytes.size() || !file.commit())
        failure = file.errorString();
    if (failure.isEmpty())
        return true;
    m_errors.showError(
        //: %1 is the login start entry's file, %2 why.
        Texts::tr("The start at login cannot be written to %1: %2").arg(m_path, failure));
    return false;
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
            QStringLiteral("Icon=") + m_applicationId, QStringLiteral("Terminal=false")};
}

void AutostartEntry::writeUnlessPresent()
{
    if (!QFileInfo::exists(m_path)) {
        writeLines(freshEntry());
        return;
    }
    QStringList lines = readLines();
    const auto [first, end] = mainGroup(lines);
    for (qsizetype i = first; i >= 0 && i < end; ++i) {
        if (keyOf(lines[i]) != QLatin1String("Exec"))
            continue;
        const QString program = programOf(valueOf(lines[i]));
        if (QDir::isAbsolutePath(program) && !QFileInfo::exists(program)) {
            lines[i] = QStringLiteral("Exec=") + execValue(m_programPath);
            writeLines(lines);
        }
        return;
    }
}

bool AutostartEntry::isEnabled() const
{
    const QStringList lines = readLines();
    const auto [first, end] = mainGroup(lines);
    return first >= 0 && std::none_of(lines.cbegin() + first, lines.cbegin() + end, switchedOff);
}

bool AutostartEntry::setEnabled(bool enabled)
{
    QStringList lines = readLines();
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
