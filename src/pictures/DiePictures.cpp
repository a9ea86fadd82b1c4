#include "pictures/DiePictures.h"

#include "ground/Checked.h"

#include <QList>
#include <QPoint>

#include <algorithm>
#include <array>
#include <cmath>
#include <span>

namespace
{

constexpr QPoint face1[] = {{97, 96}};
constexpr QPoint face2[] = {{147, 44}, {44, 148}};
constexpr QPoint face3[] = {{147, 44}, {97, 97}, {44, 148}};
constexpr QPoint face4[] = {{45, 44}, {147, 44}, {44, 148}, {147, 148}};
constexpr QPoint face5[] = {{45, 44}, {147, 44}, {96, 97}, {44, 148}, {147, 148}};
constexpr QPoint face6[] = {{43, 44}, {147, 45}, {43, 96}, {147, 96}, {43, 147}, {147, 147}};
constexpr QPoint face7[] = {{44, 44},  {148, 44}, {44, 95},  {97, 95},
                            {148, 95}, {44, 146}, {148, 147}};
constexpr QPoint face8[] = {{45, 44},  {96, 44},  {147, 44}, {70, 96},
                            {122, 97}, {44, 148}, {96, 148}, {147, 148}};
constexpr QPoint face9[] = {{45, 44},  {96, 44},  {147, 44}, {45, 96},  {96, 97},
                            {147, 97}, {44, 148}, {96, 148}, {147, 148}};
constexpr QPoint face10[] = {{45, 44},  {96, 44},  {147, 44}, {28, 96},  {74, 96},
                             {119, 96}, {165, 96}, {44, 148}, {96, 148}, {147, 148}};

const std::array<std::span<const QPoint>, DieFaceCount> pipTable = {std::span<const QPoint>{},
                                                                    face1,
                                                                    face2,
                                                                    face3,
                                                                    face4,
                                                                    face5,
                                                                    face6,
                                                                    face7,
                                                                    face8,
                                                                    face9,
                                                                    face10};

constexpr double CornerRadius = 24.0;
// 24 px rounds to 125 transparent pixels a corner; this hair more gives the
// 123 (19 along the edge) of the original artwork.
constexpr double CornerRadiusSquared = CornerRadius * CornerRadius + 1.0;
constexpr double PipRadius = 20.5;    // 41 px across
constexpr double BigPipRadius = 36.5; // the single pip of face 1: 73 px across

// A palette picture: white, the see-through entry (the window's green, as
// the original artwork kept it), and the two pip colours.
enum : uchar { White, Clear, Black, Red };
const QList<QRgb> Palette = {qRgb(255, 255, 255), qRgba(0, 128, 0, 0), qRgb(0, 0, 0),
                             qRgb(255, 0, 0)};

// How many pixels at each end of row y lie outside the rounded corners: a
// pixel is outside when its centre is further than the radius from the
// corner's centre.
int clearAtEachEnd(int y, double scale)
{
    const double py = (y + 0.5) / scale;
    const double dy = CornerRadius - std::min(py, DiePictureSize - py);
    if (dy <= 0)
        return 0;
    const double reach = CornerRadius - std::sqrt(CornerRadiusSquared - dy * dy);
    return std::max(0, static_cast<int>(std::ceil(reach * scale - 0.5)));
}

} // namespace

QImage drawDieFace(int face, double scale)
{
    const auto pips = checkedAt(pipTable, face, "dieFacePips");
    const double radius = face == 1 ? BigPipRadius : PipRadius;
    const uchar pipColour = face == 1 ? Red : Black;
    const int size = std::max(1, static_cast<int>(std::lround(DiePictureSize * scale)));

    QImage image(size, size, QImage::Format_Indexed8);
    image.setColorTable(Palette);
    for (int y = 0; y < size; ++y) {
        uchar *line = image.scanLine(y);
        const int clear = clearAtEachEnd(y, scale);
        std::fill(line, line + clear, Clear);
        std::fill(line + clear, line + size - clear, White);
        std::fill(line + size - clear, line + size, Clear);
    }

    // Each pip row by row: the pixels whose centres lie within the radius.
    for (const QPoint &pip : pips) {
        const double cx = pip.x() + 0.5;
        const double cy = pip.y() + 0.5;
        const int top = std::max(0, static_cast<int>((cy - radius) * scale));
        const int bottom = std::min(size - 1, static_cast<int>((cy + radius) * scale));
        for (int y = top; y <= bottom; ++y) {
            const double dy = (y + 0.5) / scale - cy;
            const double rest = radius * radius - dy * dy;
            if (rest < 0)
                continue;
            const double half = std::sqrt(rest) * scale;
            const double centre = cx * scale - 0.5;
            const int left = std::max(0, static_cast<int>(std::ceil(centre - half)));
            const int right = std::min(size - 1, static_cast<int>(std::floor(centre + half)));
            uchar *line = image.scanLine(y);
            if (left <= right)
                std::fill(line + left, line + right + 1, pipColour);
        }
    }
    return image;
}
