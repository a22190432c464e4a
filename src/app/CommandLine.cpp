// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include "Translations.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>

#include <cerrno>
#include <cstdio>

namespace kv {

namespace {

class Texts
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};

// False when the text could not be written whole (a closed or full output).
bool print(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    return std::fwrite(bytes.constData(), 1, bytes.size(), stream) == size_t(bytes.size()) &&
           std::fflush(stream) == 0;
}

// An argument as it can be shown on a terminal: control characters, which
// would act on it, written as escapes.
QString shown(const QString &argument)
{
    QString text;
    for (const QChar c : argument) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            text += c.unicode() <= 0xff
                        ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'))
                        : QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            text += c;
    }
    return text;
}

// The unknown option as it was written, "-platform" or "--bogus=1" alike.
QString unknownOption(const QCommandLineParser &parser, const QStringList &arguments)
{
    const QString name = parser.unknownOptionNames().value(0);
    for (const QString &argument : arguments.mid(1)) {
        if (argument == QLatin1String("--"))
            break;
        QString written = argument.section(QLatin1Char('='), 0, 0);
        if (written.startsWith(QLatin1Char('-')) &&
            QStringView(written).mid(written.startsWith(QLatin1String("--")) ? 2 : 1) == name)
            return written;
    }
    return name;
}

// What the arguments ask for, and the answer to print.
struct Reading
{
    CommandLine options;
    QString out;
    QString err;
};

Reading read(const QStringList &arguments)
{
    const QString name = QFileInfo(arguments.value(0, QStringLiteral("kronvale"))).fileName();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        //: Command line help (--help): the description at its head.
        Texts::tr("Opens files and switches the machine off at the times of your tasks."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  //: Command line help: the option --help.
                                  Texts::tr("Show this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     //: Command line help: the option --version.
                                     Texts::tr("Show the program's version and exit."));
    const QCommandLineOption tray(
        QStringLiteral("tray"),
        //: Command line help: the option --tray.
        Texts::tr("Start with the window hidden in the tray (minimised where there is no tray), "
                  "as the start at login does."));
    parser.addOptions({help, version, tray});
    // "-platform" is one option, not eight letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);

    Reading result;
    QString mistake;
    if (!parser.parse(arguments))
        mistake = parser.unknownOptionNames().isEmpty()
                      ? parser.errorText()
                      //: Command line mistake: %1 is the option as it was given, such as
                      //: "--bogus".
                      : Texts::tr("Unknown option '%1'.").arg(unknownOption(parser, arguments));
    else if (!parser.positionalArguments().isEmpty())
        //: Command line mistake: %1 is the argument that the program does not take.
        mistake = Texts::tr("Unexpected argument '%1'.").arg(parser.positionalArguments().first());
    if (!mistake.isEmpty()) {
        result.err = QStringLiteral("%1: %2\n").arg(shown(name), shown(mistake)) +
                     //: After a command line mistake: %1 is the program's name. Keep the line
                     //: break at the end.
                     Texts::tr("Try '%1 --help' for more information.\n").arg(shown(name));
        result.options.exitStatus = 2;
    } else if (parser.isSet(help)) {
        // Before there is an application object the parser does not know the
        // program's name.
        result.out = parser.helpText().replace(QStringLiteral("<executable_name>"), name);
        result.options.exitStatus = 0;
    } else if (parser.isSet(version)) {
        result.out = QStringLiteral("Kronvale %1\n").arg(QStringLiteral(KRONVALE_VERSION));
        result.options.exitStatus = 0;
    }
    result.options.tray = parser.isSet(tray);
    return result;
}

} // namespace

CommandLine readCommandLine(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    Reading reading = read(arguments);
    if (reading.options.exitStatus) {
        // The answer in the user's language, the parser's own texts too, which
        // need an application object; one that knows the program by its name
        // alone, as the help shows it. The program ends after the answer.
        QByteArray name =
            QFileInfo(arguments.value(0, QStringLiteral("kronvale"))).fileName().toLocal8Bit();
        char *nameOnly[] = {name.data(), nullptr};
        int count = 1;
        QCoreApplication speaker(count, nameOnly);
        Translations texts(QLocale::system().uiLanguages());
        texts.install();
        reading = read(arguments);
        if (!print(stdout, reading.out)) {
            const QString why = qt_error_string(errno);
            //: %1 is the program's name, %2 why its answer to --help or --version could not be
            //: printed (the system's text). Keep the line break at the end.
            print(stderr, Texts::tr("%1: the answer cannot be written: %2\n")
                              .arg(shown(QString::fromLocal8Bit(name)), why));
            reading.options.exitStatus = 1;
        }
        print(stderr, reading.err);
    }
    return reading.options;
}

} // namespace kv
