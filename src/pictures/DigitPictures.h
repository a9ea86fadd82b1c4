#pragma once

#include <QImage>

constexpr int DigitPictureCount = 11; // digits 0 to 9 and the dark blank
constexpr int BlankDigit = 10;
constexpr int DigitPictureWidth = 200;
constexpr int DigitPictureHeight = 250;

// A digit picture (BlankDigit: every segment dark): a leaning seven-segment
// digit on an opaque dark ground, every segment drawn, lit or dark, with
// anti-aliased edges, held as a palette picture. Another scale draws the
// same geometry at that resolution (2 for twice as many pixels each way,
// below 1 for less).
QImage drawDigit(int digit, double scale = 1.0);
