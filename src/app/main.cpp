#include "app/basMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("denshi-milbane"));
    QGuiApplication::setDesktopFileName(QStringLiteral("denshi-milbane"));
    basMain::Main();
    return QApplication::exec();
}
