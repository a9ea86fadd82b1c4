#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// How a window fits the screen it is on: the area it may cover, the frame
// it will have, where it stands, and the zoom at which it fits. Both
// windows go by these, so that they agree.
namespace ScreenFit
{

// The frame of both windows: a title bar with a close box, no minimise or
// maximise; on Windows without the sizing border that a fixed size alone
// leaves there.
constexpr Qt::WindowFlags FixedFrame = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                       Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                                       Qt::MSWindowsFixedSizeDialogHint;

// Wayland hides where windows stand and how large the compositor's frame
// is; some requests mean nothing there.
bool onWayland();

// The part of the window's screen that panels and taskbars leave free; on
// Wayland, where the toolkit is not told, the monitor less room for a panel.
QRect freeArea(const QWidget *window);

// The frame around the window's client area: the window manager's, once
// it has framed the window; until then `designed`, or on Wayland, where a
// compositor never says, room for a title bar as tall as the desktops' own.
QMargins frame(const QWidget *window, QMargins designed);

// Where a frame of `outer` size stands nearest to `wanted` wholly inside
// `area`; at the area's top-left corner where it is larger than the area.
QPoint keptInside(QPoint wanted, QSize outer, QRect area);

// The zoom, at most 1, at which a client area of `client` twips with a
// frame of `frame` pixels fits inside `available` pixels. The rounded
// client size never overshoots; a screen too small even for a quarter of
// the size gets a quarter, where the texts are still readable.
double zoomToFit(QSize client, QMargins frame, QSize available);

} // namespace ScreenFit
