#include "app/basMain.h"

#include "assets/AppIcon.h"
#include "main_window/frmMain.h"

#include <QApplication>

namespace basMain
{

std::int16_t DiceFaces;
std::int16_t DiceCount;
std::int16_t ZeroFace; // its default is the zero every global starts with

void Main()
{
    DiceFaces = 6;
    DiceCount = 2;

    QApplication::setWindowIcon(makeAppIcon());
    // The window deletes itself when closed, which ends the event loop.
    auto *window = new frmMain;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

} // namespace basMain
