// In-process costs of the main window, run on the offscreen platform:
//   bench/run, or build/bench/bench_window with QT_QPA_PLATFORM=offscreen.
// BM_FullRepaint is the baseline the tick is read against.
#include "app/basMain.h"
#include "main_window/frmMain.h"

#include <QApplication>
#include <QEvent>

#include <benchmark/benchmark.h>

namespace
{

QApplication *app = nullptr;

// Paints whatever is waiting to be painted, now.
void flushPaints(QWidget &window)
{
    QCoreApplication::sendPostedEvents(&window, QEvent::UpdateRequest);
}

struct ShownWindow {
    frmMain window;
    explicit ShownWindow(int count)
    {
        basMain::DiceFaces = 10;
        basMain::DiceCount = static_cast<std::int16_t>(count);
        basMain::ZeroFace = 0;
        window.show();
        QCoreApplication::processEvents();
        flushPaints(window);
    }
};

void BM_TickFourDice(benchmark::State &state)
{
    ShownWindow shown(4);
    shown.window.cmdAction_Click();
    for (auto _ : state) {
        shown.window.tmrDice_Timer();
        flushPaints(shown.window);
    }
}
BENCHMARK(BM_TickFourDice);

void BM_FullRepaint(benchmark::State &state)
{
    ShownWindow shown(4);
    for (auto _ : state)
        shown.window.repaint();
}
BENCHMARK(BM_FullRepaint);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    app = &application;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
