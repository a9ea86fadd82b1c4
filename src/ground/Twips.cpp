#include "ground/Twips.h"

#include <QWidget>

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
