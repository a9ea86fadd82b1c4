// In-process costs of the main window, run on the offscreen platform:
//   bench/run, or build/bench/bench_window with QT_QPA_PLATFORM=offscreen.
// BM_FullRepaint is the baseline the tick is read against.
#include "WindowProbe.h"
#include "ground/Settings.h"
#include "pictures/AppIcon.h"
#include "pictures/DiePictures.h"
#include "pictures/DigitPictures.h"
#include "windows/frmMain.h"

#include <QApplication>
#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include <benchmark/benchmark.h>

#include <optional>

namespace
{

// Paints whatever is waiting to be painted, now.
void flushPaints(QWidget &window)
{
    QCoreApplication::sendPostedEvents(&window, QEvent::UpdateRequest);
}

// The settings come first: the window arranges itself for them when made.
struct ShownWindow {
    explicit ShownWindow(int count)
    {
        basMain::DiceFaces = 10;
        basMain::DiceCount = static_cast<std::int16_t>(count);
        basMain::ZeroFace = 0;
        frame.emplace();
        frame->show();
        QCoreApplication::processEvents();
        flushPaints(*frame);
    }
    std::optional<frmMain> frame;
};

// Adds up, in window pixels, what each paint covers.
class RepaintArea : public QObject
{
public:
    explicit RepaintArea(QWidget &window) : m_window(window)
    {
        window.installEventFilter(this);
        for (QObject *child : window.children())
            child->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            auto *widget = static_cast<QWidget *>(watched);
            const QRegion region = static_cast<QPaintEvent *>(event)->region();
            painted += region.translated(widget->mapTo(&m_window, QPoint(0, 0)));
        }
        return false;
    }
    double pixels() const
    {
        double sum = 0;
        for (const QRect &r : painted)
            sum += double(r.width()) * r.height();
        return sum;
    }
    QRegion painted;

private:
    QWidget &m_window;
};

void BM_TickFourDice(benchmark::State &state)
{
    ShownWindow shown(4);
    cmdAction(*shown.frame)->click();
    double area = 0;
    {
        // What one tick repaints, measured outside the timed loop.
        RepaintArea counter(*shown.frame);
        while (area == 0) {
            WindowProbe::tick(*shown.frame);
            flushPaints(*shown.frame);
            area = counter.pixels();
        }
    }
    for (auto _ : state) {
        WindowProbe::tick(*shown.frame);
        flushPaints(*shown.frame);
    }
    state.counters["repainted_px"] = area;
    state.counters["window_px"] = shown.frame->width() * shown.frame->height();
}
BENCHMARK(BM_TickFourDice);

// The tick's own work, without painting.
void BM_TickHandlerOnly(benchmark::State &state)
{
    ShownWindow shown(4);
    cmdAction(*shown.frame)->click();
    for (auto _ : state)
        WindowProbe::tick(*shown.frame);
    flushPaints(*shown.frame);
}
BENCHMARK(BM_TickHandlerOnly);

// Result to Ready: the reset and its repaint.
void BM_ResetDice(benchmark::State &state)
{
    ShownWindow shown(4);
    QPushButton *action = cmdAction(*shown.frame);
    for (auto _ : state) {
        state.PauseTiming(); // to a result: start, stop
        action->click();
        action->click();
        flushPaints(*shown.frame);
        state.ResumeTiming();
        action->click();
        flushPaints(*shown.frame);
    }
}
BENCHMARK(BM_ResetDice);

// Rolling to Result: values into the labels, the total, and their repaint.
void BM_StopAndShowTotal(benchmark::State &state)
{
    ShownWindow shown(4);
    QPushButton *action = cmdAction(*shown.frame);
    for (auto _ : state) {
        state.PauseTiming(); // rolling again: reset, start, one tick
        if (WindowProbe::RollState(*shown.frame) == frmMain::Result)
            action->click();
        action->click();
        WindowProbe::tick(*shown.frame);
        flushPaints(*shown.frame);
        state.ResumeTiming();
        action->click();
        flushPaints(*shown.frame);
    }
}
BENCHMARK(BM_StopAndShowTotal);

void BM_FullRepaint(benchmark::State &state)
{
    ShownWindow shown(4);
    for (auto _ : state)
        shown.frame->repaint();
}
BENCHMARK(BM_FullRepaint);

// The floor for a tick: four die-sized opaque pictures copied into a
// window-sized image, with no toolkit around them.
void BM_BlitFourFacesFloor(benchmark::State &state)
{
    QImage screen(1018, 736, QImage::Format_RGB32);
    screen.fill(Qt::darkGreen);
    QImage face(193, 193, QImage::Format_ARGB32_Premultiplied);
    face.fill(Qt::white);
    const QPixmap picture = QPixmap::fromImage(face);
    for (auto _ : state) {
        QPainter painter(&screen);
        for (int i = 0; i < 4; ++i)
            painter.drawPixmap(40 + 248 * i, 32, picture);
    }
}
BENCHMARK(BM_BlitFourFacesFloor);

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
        for (int k = 0; k < DigitPictureCount; ++k)
            benchmark::DoNotOptimize(drawDigit(k));
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
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
