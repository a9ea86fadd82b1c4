#include "pictures/DigitPictures.h"

#include "ground/Checked.h"

#include <QLineF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace
{

constexpr QRgb DigitBackground = 0xFF101010;
constexpr QRgb LitSegment = 0xFFFFFF3F;
constexpr QRgb DarkSegment = 0xFF373737;

// Segments a to g: corners top left, top right, bottom right, bottom left.
using SegmentCorners = std::array<QPointF, 4>;
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

struct RowSpan {
    int row;
    int left;
    int right;
};

// The pixels each row of a segment touches, from its four corners.
std::vector<RowSpan> segmentRows(const SegmentCorners &c, double scale, int height)
{
    const double top = c[0].y();
    const double bottom = c[3].y();
    const auto along = [&](QPointF from, QPointF to, double y) {
        return from.x() + (to.x() - from.x()) * (y - top) / (bottom - top);
    };
    std::vector<RowSpan> rows;
    const int first = static_cast<int>(std::floor(top * scale));
    const int last = std::min(height, static_cast<int>(std::ceil(bottom * scale))) - 1;
    for (int row = first; row <= last; ++row) {
        const double y0 = std::max(top, double(row) / scale);
        const double y1 = std::min(bottom, double(row + 1) / scale);
        const double left = std::min(along(c[0], c[3], y0), along(c[0], c[3], y1));
        const double right = std::max(along(c[1], c[2], y0), along(c[1], c[2], y1));
        rows.push_back({row, static_cast<int>(std::floor(left * scale)),
                        static_cast<int>(std::ceil(right * scale)) - 1});
    }
    return rows;
}

// Steps of coverage from the bare ground to the full segment colour.
constexpr int RampSteps = 64;

QRgb blend(QRgb colour, int step)
{
    const auto mix = [step](int ground, int full) {
        return ground + ((full - ground) * step + (RampSteps - 1) / 2) / (RampSteps - 1);
    };
    return qRgb(mix(qRed(DigitBackground), qRed(colour)),
                mix(qGreen(DigitBackground), qGreen(colour)),
                mix(qBlue(DigitBackground), qBlue(colour)));
}

} // namespace

QImage drawDigit(int digit, double scale)
{
    // Bit s set: segment a + s is lit.
    const unsigned lit = checkedAt(litTable, digit, "litSegments");
    // How much of each pixel the segments cover.
    const QSize size(std::max(1, static_cast<int>(std::lround(DigitPictureWidth * scale))),
                     std::max(1, static_cast<int>(std::lround(DigitPictureHeight * scale))));
    QImage coverage(size, QImage::Format_Alpha8);
    coverage.fill(0);
    {
        QPainter painter(&coverage);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.scale(scale, scale);
        for (std::size_t s = 0; s < segments.size(); ++s)
            painter.drawPath(segmentPath(segments[s], roundedCorner[s]));
    }

    // Palette: the ground blended towards the dark and towards the lit
    // colour, in steps of coverage; even entries dark, odd entries lit.
    QList<QRgb> palette;
    for (int step = 0; step < RampSteps; ++step)
        palette << blend(DarkSegment, step) << blend(LitSegment, step);
    QImage picture(size, QImage::Format_Indexed8);
    picture.setColorTable(palette);
    for (int y = 0; y < size.height(); ++y) {
        const uchar *cover = coverage.constScanLine(y);
        uchar *line = picture.scanLine(y);
        for (int x = 0; x < size.width(); ++x)
            line[x] = static_cast<uchar>(2 * ((cover[x] * (RampSteps - 1) + 127) / 255));
    }
    // The pixels the lit segments touch take the lit entries.
    for (std::size_t s = 0; s < segments.size(); ++s)
        if ((lit >> s) & 1u)
            for (const RowSpan &span : segmentRows(segments[s], scale, size.height()))
                for (int x = span.left; x <= span.right; ++x)
                    picture.scanLine(span.row)[x] |= 1;
    return picture;
}
