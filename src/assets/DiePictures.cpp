#include "assets/DiePictures.h"

#include "app/Checked.h"

#include <algorithm>
#include <array>

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

constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Black = 0xFF000000;
constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Transparent = 0x00000000;

bool outsideRounding(double px, double py)
{
    const double dx = CornerRadius - std::min(px, DiePictureSize - px);
    const double dy = CornerRadius - std::min(py, DiePictureSize - py);
    return dx > 0 && dy > 0 && dx * dx + dy * dy > CornerRadiusSquared;
}

} // namespace

std::span<const QPoint> dieFacePips(int face)
{
    return checkedAt(pipTable, face, "dieFacePips");
}

QImage drawDieFace(int face, int scale)
{
    const auto pips = dieFacePips(face);
    const double radius = face == 1 ? BigPipRadius : PipRadius;
    const QRgb pipColour = face == 1 ? Red : Black;
    const int size = DiePictureSize * scale;

    // Pixels are tested at their centres, in 1x coordinates.
    const auto at = [scale](int device) { return (device + 0.5) / scale; };

    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < size; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size; ++x)
            line[x] = outsideRounding(at(x), at(y)) ? Transparent : White;
    }

    for (const QPoint &pip : pips) {
        const double cx = pip.x() + 0.5;
        const double cy = pip.y() + 0.5;
        const int top = std::max(0, static_cast<int>((cy - radius) * scale));
        const int bottom = std::min(size - 1, static_cast<int>((cy + radius) * scale));
        const int left = std::max(0, static_cast<int>((cx - radius) * scale));
        const int right = std::min(size - 1, static_cast<int>((cx + radius) * scale));
        for (int y = top; y <= bottom; ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            const double dy = at(y) - cy;
            for (int x = left; x <= right; ++x) {
                const double dx = at(x) - cx;
                if (dx * dx + dy * dy <= radius * radius)
                    line[x] = pipColour;
            }
        }
    }
    return image;
}
