#include "program/CommandLine.h"

#include "ground/ProgramName.h"
#include "program/Translation.h"

#include <QCommandLineParser>
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

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

} // namespace

int handleCommandLine(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

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
        print(stderr, QStringLiteral("%1: %2\n").arg(QLatin1String(ProgramName), why) +
                          translated("CommandLine",
                                     QT_TRANSLATE_NOOP("CommandLine", "Try '%1 --help' for more "
                                                                      "information.\n"))
                              .arg(QLatin1String(ProgramName)));
        return 2;
    };
    if (!parser.parse(arguments)) {
        if (parser.unknownOptionNames().isEmpty())
            return refuse(parser.errorText());
        return refuse(
            translated("CommandLine", QT_TRANSLATE_NOOP("CommandLine", "Unknown option '%1'."))
                .arg(parser.unknownOptionNames().first()));
    }
    if (parser.isSet(help)) {
        print(stdout,
              translated(
                  "CommandLine",
                  QT_TRANSLATE_NOOP(
                      "CommandLine",
                      "Usage: %1 [OPTION]...\n"
                      "Roll up to four dice and see each value and their total (電子ミルバネ).\n"
                      "\n"
                      "Opens the dice window. Start, stop and reset with its action button; "
                      "choose\nthe dice in its settings. Nothing is read from or written to "
                      "files.\n"
                      "\n"
                      "Options:\n"
                      "  -h, --help        show this help and exit\n"
                      "  -v, --version     show the version and exit\n"
                      "\n"
                      "The toolkit's own options, such as -platform and -style, are "
                      "accepted.\n"))
                  .arg(QLatin1String(ProgramName)));
        return 0;
    }
    if (parser.isSet(version)) {
        print(stdout, QStringLiteral("%1 %2\n").arg(QLatin1String(ProgramName),
                                                    QLatin1String(MILBANE_VERSION)));
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
