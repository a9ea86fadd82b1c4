#include "program/basMain.h"

#include "pictures/AppIcon.h"
#include "widgets/Accessible.h"
#include "windows/frmMain.h"

#include <QApplication>

namespace basMain
{

void Main()
{
    DiceFaces = 6;
    DiceCount = 2;

    installAccessibleInterfaces();
    QApplication::setWindowIcon(makeAppIcon());
    // The window deletes itself when closed, which ends the event loop.
    auto *window = new frmMain;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

} // namespace basMain
