#pragma once

#include <QRect>

// Layouts are kept in twips, the unit the window was designed in. A pixel is
// 15 twips; a position that falls between pixels is rounded to the nearest.
constexpr int TwipsPerPixel = 15;

constexpr int twipsToPixels(int twips)
{
    return twips >= 0 ? (2 * twips + TwipsPerPixel) / (2 * TwipsPerPixel)
                      : -((-2 * twips + TwipsPerPixel) / (2 * TwipsPerPixel));
}

struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};

constexpr QRect twipsToPixels(TwipRect r)
{
    return {twipsToPixels(r.left), twipsToPixels(r.top), twipsToPixels(r.width),
            twipsToPixels(r.height)};
}

class QWidget;

// Sets a control's position and size from its place in twips.
void place(QWidget *control, TwipRect r);
