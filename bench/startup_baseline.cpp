// The floor for start-up: a bare window of the same size with one Japanese
// label in the same font, ended at its first frame.
#include "FirstFrame.h"
#include "ground/Fonts.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(1018, 736);
    QLabel label(QStringLiteral("電子ミルバネ"), &window);
    label.setFont(gothicFont(96));
    label.adjustSize();
    FirstFrame firstFrame;
    window.installEventFilter(&firstFrame);
    window.show();
    return QApplication::exec();
}
