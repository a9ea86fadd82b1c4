#pragma once

#include <QImage>

constexpr int DieFaceCount = 11; // faces 0 (blank) to 10
constexpr int DiePictureSize = 192;

// A white face with rounded, transparent corners and its pips, drawn without
// anti-aliasing so that only white, the pip colour and transparency occur.
// At another scale the same geometry is drawn at that resolution (2: twice
// as many pixels each way; 0.75 for a window shown smaller), never scaled.
QImage drawDieFace(int face, double scale = 1.0);
