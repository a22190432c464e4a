// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

namespace kv {

namespace {

class Texts
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

} // namespace

CommandLine readCommandLine(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QString name = QFileInfo(arguments.value(0, QStringLiteral("kronvale"))).fileName();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        Texts::tr("Opens files and switches the machine off at the times of your tasks."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  Texts::tr("Show this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     Texts::tr("Show the program's version and exit."));
    const QCommandLineOption tray(
        QStringLiteral("tray"),
        Texts::tr("Start with the window hidden in the tray (minimised where there is no tray), "
                  "as the start at login does."));
    parser.addOptions({help, version, tray});

    CommandLine result;
    QString mistake;
    if (!parser.parse(arguments))
        mistake = parser.errorText();
    else if (!parser.positionalArguments().isEmpty())
        mistake = Texts::tr("Unexpected argument '%1'.").arg(parser.positionalArguments().first());
    if (!mistake.isEmpty()) {
        print(stderr, QStringLiteral("%1: %2\n").arg(name, mistake) +
                          Texts::tr("Try '%1 --help' for more information.\n").arg(name));
        result.exitStatus = 2;
    } else if (parser.isSet(help)) {
        // Without an application object the parser does not know the program's name.
        print(stdout, parser.helpText().replace(QStringLiteral("<executable_name>"), name));
        result.exitStatus = 0;
    } else if (parser.isSet(version)) {
        print(stdout, QStringLiteral("Kronvale %1\n").arg(QStringLiteral(KRONVALE_VERSION)));
        result.exitStatus = 0;
    }
    result.tray = parser.isSet(tray);
    return result;
}

} // namespace kv
