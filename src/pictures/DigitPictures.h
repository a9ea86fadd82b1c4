#pragma once

#include <QImage>
#include <QPointF>

#include <array>

constexpr int DigitPictureCount = 11; // digits 0 to 9 and the dark blank
constexpr int BlankDigit = 10;
constexpr int DigitPictureWidth = 200;
constexpr int DigitPictureHeight = 250;

constexpr QRgb DigitBackground = 0xFF101010;
constexpr QRgb LitSegment = 0xFFFFFF3F;
constexpr QRgb DarkSegment = 0xFF373737;

// Segments a to g: corners top left, top right, bottom right, bottom left.
using SegmentCorners = std::array<QPointF, 4>;
const std::array<SegmentCorners, 7> &digitSegments();

// Bit s set: segment a + s is lit in that picture.
unsigned litSegments(int digit);

// The eleven digit pictures: leaning seven-segment digits on an opaque dark
// ground, every segment drawn, lit or dark, with anti-aliased edges held as
// palette pictures. Another scale draws the same geometry at that
// resolution (2 for twice as many pixels each way, below 1 for less).
std::array<QImage, DigitPictureCount> drawDigits(double scale = 1.0);
// The blank digit alone, as drawDigits draws it, for less.
QImage drawBlankDigit(double scale = 1.0);
