#include "ground/ProgramName.h"
#include "program/CommandLine.h"
#include "program/Console.h"
#include "program/FatalErrors.h"
#include "program/Platform.h"
#include "program/basMain.h"
#include "widgets/CommandButton.h"

#include <QApplication>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

int main(int argc, char *argv[])
{
    if (const int status = handleCommandLine(argc, argv); status >= 0) {
        flushConsole();
        return status;
    }
#ifdef Q_OS_WIN
    // Held while the program runs: the installer and the uninstaller look
    // for it and ask for the program to be closed before they touch its
    // files. Windows lets it go when the process ends.
    CreateMutexW(nullptr, FALSE, L"" MILBANE_RUNNING_MUTEX);
#endif
    choosePlatform(argc, argv);
    holdStartupMessages();
    QApplication app(argc, argv);
    CommandButton::watchKeyRepeats(&app);
    startupFinished();
    QApplication::setApplicationName(QLatin1String(ProgramName));
    QGuiApplication::setDesktopFileName(QLatin1String(ProgramName));
    basMain::Main();
    return QApplication::exec();
}
