// The real start-up, ended at the main window's first frame.
#include "FirstFrame.h"
#include "program/basMain.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    basMain::Main();
    FirstFrame firstFrame;
    for (QWidget *window : QApplication::topLevelWidgets())
        window->installEventFilter(&firstFrame);
    return QApplication::exec();
}
