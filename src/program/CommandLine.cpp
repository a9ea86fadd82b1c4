#include "program/CommandLine.h"

#include "ground/ProgramName.h"
#include "program/Console.h"
#include "program/Translation.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <QStringList>

#include <cstdio>

namespace
{

// Options that QGuiApplication, QApplication and the X11 and Wayland
// platforms take for themselves; they are left for the toolkit.
const char *const ToolkitOptionsWithValue[] = {"platform",
                                               "platformpluginpath",
                                               "platformtheme",
                                               "plugin",
                                               "qwindowgeometry",
                                               "geometry",
                                               "qwindowtitle",
                                               "title",
                                               "qwindowicon",
                                               "icon",
                                               "style",
                                               "stylesheet",
                                               "display",
                                               "name",
                                               "session",
                                               "visual",
                                               "ncols"};
const char *const ToolkitFlags[] = {"reverse", "widgetcount", "sync", "nograb", "dograb", "cmap"};

// The parser's own message, in the program's words and language, naming
// the option as the user typed it ("--foo", not "foo").
QString parseError(const QCommandLineParser &parser, const QStringList &arguments)
{
    if (!parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().first();
        QString typed = name;
        for (const QString &argument : arguments.mid(1)) {
            const QString option = argument.section(QLatin1Char('='), 0, 0);
            if (option.startsWith(QLatin1Char('-')) &&
                option.mid(option.startsWith(QLatin1String("--")) ? 2 : 1) == name) {
                typed = option;
                break;
            }
        }
        return translated("CommandLine", QT_TRANSLATE_NOOP("CommandLine", "unknown option '%1'"))
            .arg(typed);
    }
    // Qt 6's untranslated texts: the only other ways a parse can fail.
    static const QRegularExpression missing(QStringLiteral("^Missing value after '(.*)'\\.$"));
    static const QRegularExpression unexpected(
        QStringLiteral("^Unexpected value after '(.*)'\\.$"));
    if (const auto match = missing.match(parser.errorText()); match.hasMatch())
        return translated("CommandLine",
                          QT_TRANSLATE_NOOP("CommandLine", "missing value after '%1'"))
            .arg(match.captured(1));
    if (const auto match = unexpected.match(parser.errorText()); match.hasMatch())
        return translated("CommandLine", QT_TRANSLATE_NOOP("CommandLine", "'%1' takes no value"))
            .arg(match.captured(1));
    return parser.errorText();
}

} // namespace

int handleCommandLine(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << fromTerminal(argv[i]);
#ifdef Q_OS_WIN
    // The Windows way to ask for help.
    arguments.replaceInStrings(QRegularExpression(QStringLiteral("^/\\?$")),
                               QStringLiteral("--help"));
#endif

    QCommandLineParser parser;
    // "-platform xcb", as Qt programs take it, not "-p -l -a ...".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{"h", "help"});
    const QCommandLineOption version(QStringList{"v", "version"});
    parser.addOption(help);
    parser.addOption(version);
    for (const char *name : ToolkitOptionsWithValue)
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(), "value"));
    for (const char *name : ToolkitFlags)
        parser.addOption(QCommandLineOption(QString::fromLatin1(name)));

    const auto refuse = [](const QString &why) {
        QString text = QStringLiteral("%1: %2\n").arg(QLatin1String(ProgramName), why);
        if (!answersInBox())
            text += translated("CommandLine",
                               QT_TRANSLATE_NOOP("CommandLine", "Try '%1 --help' for more "
                                                                "information.\n"))
                        .arg(QLatin1String(ProgramName));
        writeConsole(stderr, answersInBox() ? text : wrappedForTerminal(text));
        return 2;
    };
    if (!parser.parse(arguments))
        return refuse(parseError(parser, arguments));
    if (parser.isSet(help)) {
        // A line a paragraph: a terminal's lines are made from them, a
        // message box breaks them itself.
        const QString text =
            translated(
                "CommandLine",
                QT_TRANSLATE_NOOP(
                    "CommandLine",
                    "Usage: %1 [OPTION]...\n"
                    "Roll up to four dice and see each value and their total (電子ミルバネ).\n"
                    "\n"
                    "Opens the dice window. Start, stop and reset the dice with its action "
                    "button; choose their range of values and how many there are in its "
                    "settings. Nothing is read from or written to files.\n"
                    "\n"
                    "Options:\n"
                    "  -h, --help        show this help and exit\n"
                    "  -v, --version     show the version and exit\n"
                    "\n"
                    "The toolkit's own options, such as -platform and -style, are "
                    "accepted.\n"))
                .arg(QLatin1String(ProgramName));
        writeConsole(stdout, answersInBox() ? text : wrappedForTerminal(text));
        return 0;
    }
    if (parser.isSet(version)) {
        // As GNU programs say it, the licence as the package's copyright file.
        const QString text =
            QStringLiteral("%1 %2\nCopyright %3\n\n")
                .arg(QLatin1String(ProgramName), QLatin1String(MILBANE_VERSION),
                     QString::fromUtf8(Copyright)) +
            translated("CommandLine",
                       QT_TRANSLATE_NOOP("CommandLine", "License: proprietary. All rights "
                                                        "reserved by 電子ミルバネ開発チーム.\n"));
        writeConsole(stdout, answersInBox() ? text : wrappedForTerminal(text));
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return refuse(translated("CommandLine",
                                 QT_TRANSLATE_NOOP("CommandLine",
                                                   "unexpected argument '%1': it takes no file "
                                                   "or other argument"))
                          .arg(parser.positionalArguments().first()));
    return -1;
}
