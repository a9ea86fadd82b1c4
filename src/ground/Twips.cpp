#include "ground/Twips.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

int twipsToPixels(int twips, double zoom)
{
    // No twips value lies halfway between pixels, so at zoom 1 this is the
    // designed rounding exactly.
    return static_cast<int>(std::lround(twips * zoom / TwipsPerPixel));
}

QRect twipsToPixels(TwipRect r, double zoom)
{
    return {twipsToPixels(r.left, zoom), twipsToPixels(r.top, zoom), twipsToPixels(r.width, zoom),
            twipsToPixels(r.height, zoom)};
}

void place(QWidget *control, TwipRect r, double zoom)
{
    control->setGeometry(twipsToPixels(r, zoom));
}

double zoomToFit(QSize client, QMargins frame, QSize available)
{
    constexpr double Smallest = 0.25;
    const double room[2] = {double(available.width() - frame.left() - frame.right()),
                            double(available.height() - frame.top() - frame.bottom())};
    const int designed[2] = {twipsToPixels(client.width()), twipsToPixels(client.height())};
    if (room[0] >= designed[0] && room[1] >= designed[1])
        return 1.0;
    // A pixel and a half less than the room: the client size is rounded, and
    // so is a frame measured in device pixels at a fractional scale.
    const double zoom = std::min((room[0] - 1.5) / designed[0], (room[1] - 1.5) / designed[1]);
    return std::clamp(zoom, Smallest, 1.0);
}
