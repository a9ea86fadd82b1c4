#pragma once

#include <QRect>

// Layouts are kept in twips, the unit the window was designed in. A pixel is
// 15 twips; a position that falls between pixels is rounded to the nearest.
// A zoom below 1 shows a layout smaller, in proportion, on a screen too
// small for it; at 1 every position is exactly as designed.
constexpr int TwipsPerPixel = 15;

int twipsToPixels(int twips, double zoom = 1.0);

struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};

QRect twipsToPixels(TwipRect r, double zoom = 1.0);

class QWidget;

// Sets a control's position and size from its place in twips.
void place(QWidget *control, TwipRect r, double zoom = 1.0);
