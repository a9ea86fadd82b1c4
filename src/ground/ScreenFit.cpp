#include "ground/ScreenFit.h"

#include "ground/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace
{

// A Wayland compositor that draws the frame itself never says how large
// it is: room for a title bar as tall as the desktops' own (KWin's Breeze
// frame is 37 px in all).
constexpr QMargins CompositorFrame(4, 40, 4, 4);
// Qt 6.4 on Wayland takes the whole monitor for free: it passes on no word
// of the compositor's on the room there is (xdg-shell's configure_bounds).
// Room for a panel as tall as the desktops' own: Plasma's is 44 px,
// GNOME's top bar 32 px. The compositor places the window in what is left.
constexpr int WaylandPanel = 44;

// Kept to spare when zoomed: the client size is rounded, and so is a frame
// measured in device pixels at a fractional scale.
constexpr double RoundingSlack = 1.5;

constexpr double SmallestZoom = 0.25;

} // namespace

namespace ScreenFit
{

bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

QRect freeArea(const QWidget *window)
{
    const QScreen *screen = window->screen();
    QRect area = screen->availableGeometry();
    if (onWayland() && area == screen->geometry())
        area.setHeight(area.height() - WaylandPanel);
    return area;
}

QMargins frame(const QWidget *window, QMargins designed)
{
    // Asked of the window itself: the widget's own copy of the frame is
    // renewed only when the window manager moves the window.
    const QWindow *handle = window->windowHandle();
    const QMargins framed = handle ? handle->frameMargins() : QMargins();
    if (!framed.isNull())
        return framed;
    return onWayland() ? CompositorFrame : designed;
}

QPoint keptInside(QPoint wanted, QSize outer, QRect area)
{
    const auto axis = [](int want, int length, int first, int last) {
        return std::max(first, std::min(want, last + 1 - length));
    };
    return {axis(wanted.x(), outer.width(), area.left(), area.right()),
            axis(wanted.y(), outer.height(), area.top(), area.bottom())};
}

double zoomToFit(QSize client, QMargins frame, QSize available)
{
    const double room[2] = {double(available.width() - frame.left() - frame.right()),
                            double(available.height() - frame.top() - frame.bottom())};
    const int designed[2] = {twipsToPixels(client.width()), twipsToPixels(client.height())};
    if (room[0] >= designed[0] && room[1] >= designed[1])
        return 1.0;
    const double zoom =
        std::min((room[0] - RoundingSlack) / designed[0], (room[1] - RoundingSlack) / designed[1]);
    return std::clamp(zoom, SmallestZoom, 1.0);
}

} // namespace ScreenFit
