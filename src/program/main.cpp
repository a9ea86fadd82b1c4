#include "ground/ProgramName.h"
#include "program/CommandLine.h"
#include "program/Console.h"
#include "program/FatalErrors.h"
#include "program/Platform.h"
#include "program/basMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (const int status = handleCommandLine(argc, argv); status >= 0) {
        flushConsole();
        return status;
    }
    choosePlatform(argc, argv);
    holdStartupMessages();
    QApplication app(argc, argv);
    startupFinished();
    QApplication::setApplicationName(QLatin1String(ProgramName));
    QGuiApplication::setDesktopFileName(QLatin1String(ProgramName));
    basMain::Main();
    return QApplication::exec();
}
