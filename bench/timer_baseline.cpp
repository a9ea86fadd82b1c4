// The floor for an idle tick: a bare window of the same size whose 33 ms
// precise timer does nothing.
#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("timer baseline"));
    window.setFixedSize(1018, 736);
    window.show();
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(33);
    QObject::connect(&timer, &QTimer::timeout, &window, [] {});
    timer.start();
    return QApplication::exec();
}
