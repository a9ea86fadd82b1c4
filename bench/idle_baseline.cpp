// The floor for an idle program: a bare window of the same size with one
// Japanese label in the same font, and no timer.
#include "ground/Fonts.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("idle baseline"));
    window.setFixedSize(1018, 736);
    QLabel label(QStringLiteral("電子ミルバネ"), &window);
    label.setFont(gothicFont(96));
    label.adjustSize();
    window.show();
    return QApplication::exec();
}
