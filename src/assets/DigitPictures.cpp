#include "assets/DigitPictures.h"

#include "app/Checked.h"

#include <QLineF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace
{

const std::array<SegmentCorners, 7> segments = {{
    {{{50.6, 15.0}, {148.0, 15.0}, {143.0, 47.9}, {45.6, 47.9}}},       // a top bar
    {{{150.0, 15.0}, {181.8, 15.0}, {165.8, 119.6}, {134.0, 119.6}}},   // b upper right
    {{{133.8, 121.4}, {165.6, 121.4}, {148.3, 234.0}, {116.5, 234.0}}}, // c lower right
    {{{22.2, 201.1}, {119.3, 201.1}, {114.2, 234.0}, {17.1, 234.0}}},   // d bottom bar
    {{{34.4, 121.4}, {67.2, 121.4}, {55.3, 199.1}, {22.5, 199.1}}},     // e lower left
    {{{45.3, 49.9}, {78.1, 49.9}, {67.4, 119.6}, {34.6, 119.6}}},       // f upper left
    {{{71.5, 105.4}, {134.5, 105.4}, {129.7, 136.6}, {66.7, 136.6}}},   // g middle bar
}};

// The corner of each segment that is an outer corner of the whole frame,
// rounded; -1 where the segment has none.
constexpr std::array<int, 7> roundedCorner = {0, 1, 2, 3, -1, -1, -1};
constexpr double FrameCornerRadius = 6.0;

constexpr unsigned bits(const char *lit)
{
    unsigned mask = 0;
    for (; *lit; ++lit)
        mask |= 1u << (*lit - 'a');
    return mask;
}

constexpr std::array<unsigned, DigitPictureCount> litTable = {
    bits("abcdef"), bits("bc"),   bits("abdeg"),   bits("abcdg"),  bits("bcfg"), bits("acdfg"),
    bits("acdefg"), bits("abcf"), bits("abcdefg"), bits("abcdfg"), bits("")};

// The outline of a segment with one corner rounded by an arc that touches
// both edges; the arc is the usual cubic approximation of a circle.
QPainterPath segmentPath(const SegmentCorners &corners, int rounded)
{
    QPainterPath path;
    if (rounded < 0) {
        path.moveTo(corners[0]);
        for (int i = 1; i < 4; ++i)
            path.lineTo(corners[static_cast<std::size_t>(i)]);
        path.closeSubpath();
        return path;
    }
    const auto corner = [&](int i) { return corners[static_cast<std::size_t>((i + 4) % 4)]; };
    const QPointF vertex = corner(rounded);
    const QLineF toPrevious(vertex, corner(rounded - 1));
    const QLineF toNext(vertex, corner(rounded + 1));
    const double interior = toPrevious.angleTo(toNext) * std::numbers::pi / 180.0;
    const double inner = std::min(interior, 2 * std::numbers::pi - interior);
    const double tangent = FrameCornerRadius / std::tan(inner / 2);
    const double handle = 4.0 / 3.0 * std::tan((std::numbers::pi - inner) / 4) * FrameCornerRadius;
    const QPointF start = toPrevious.pointAt(tangent / toPrevious.length());
    const QPointF end = toNext.pointAt(tangent / toNext.length());
    const QPointF c1 = start + (vertex - start) * (handle / tangent);
    const QPointF c2 = end + (vertex - end) * (handle / tangent);

    path.moveTo(end);
    for (int i = 1; i < 4; ++i)
        path.lineTo(corner(rounded + i));
    path.lineTo(start);
    path.cubicTo(c1, c2, end);
    path.closeSubpath();
    return path;
}

} // namespace

const std::array<SegmentCorners, 7> &digitSegments()
{
    return segments;
}

unsigned litSegments(int digit)
{
    return checkedAt(litTable, digit, "litSegments");
}

QImage drawDigit(int digit, int scale)
{
    const unsigned lit = litSegments(digit);
    QImage image(DigitPictureWidth * scale, DigitPictureHeight * scale, QImage::Format_RGB32);
    image.fill(DigitBackground);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.scale(scale, scale);
    for (std::size_t s = 0; s < segments.size(); ++s) {
        painter.setBrush(QColor::fromRgb((lit >> s) & 1u ? LitSegment : DarkSegment));
        painter.drawPath(segmentPath(segments[s], roundedCorner[s]));
    }
    return image;
}
