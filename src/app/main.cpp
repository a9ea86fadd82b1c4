#include "app/CommandLine.h"
#include "app/FatalErrors.h"
#include "app/Platform.h"
#include "app/basMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (const int status = handleCommandLine(argc, argv); status >= 0)
        return status;
    choosePlatform(argc, argv);
    holdStartupMessages();
    QApplication app(argc, argv);
    startupFinished();
    QApplication::setApplicationName(QStringLiteral("denshi-milbane"));
    QGuiApplication::setDesktopFileName(QStringLiteral("denshi-milbane"));
    basMain::Main();
    return QApplication::exec();
}
