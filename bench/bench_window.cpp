// In-process costs of the main window, run on the offscreen platform:
//   bench/run, or build/bench/bench_window with QT_QPA_PLATFORM=offscreen.
// BM_FullRepaint is the baseline the tick is read against.
#include "app/basMain.h"
#include "assets/AppIcon.h"
#include "assets/DiePictures.h"
#include "assets/DigitPictures.h"
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

void BM_DrawFaces(benchmark::State &state)
{
    for (auto _ : state)
        for (int k = 0; k < DieFaceCount; ++k)
            benchmark::DoNotOptimize(drawDieFace(k));
}
BENCHMARK(BM_DrawFaces);

void BM_DrawDigits(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(drawDigits());
}
BENCHMARK(BM_DrawDigits);

void BM_DrawIcon(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(makeAppIcon());
}
BENCHMARK(BM_DrawIcon);

void BM_CreateWindow(benchmark::State &state)
{
    basMain::DiceFaces = 6;
    basMain::DiceCount = 2;
    for (auto _ : state) {
        frmMain window;
        benchmark::DoNotOptimize(&window);
    }
}
BENCHMARK(BM_CreateWindow);

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
