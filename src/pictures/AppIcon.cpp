#include "pictures/AppIcon.h"

#include <QPainter>
#include <QPolygonF>

namespace
{

// The cube in unit coordinates: the near vertical edge runs from centre to
// bottom; the top face is the diamond above the centre.
constexpr QPointF Top{0.5, 0.04};
constexpr QPointF Left{0.07, 0.27};
constexpr QPointF Right{0.93, 0.27};
constexpr QPointF Centre{0.5, 0.5};
constexpr QPointF LowerLeft{0.07, 0.74};
constexpr QPointF LowerRight{0.93, 0.74};
constexpr QPointF Bottom{0.5, 0.97};

// Pips on a side face, as (along the top edge, down the side) fractions.
constexpr QPointF LeftFacePips[] = {{0.3, 0.3}, {0.5, 0.5}, {0.7, 0.7}};
constexpr QPointF RightFacePips[] = {{0.32, 0.68}, {0.68, 0.32}};

int outlineWidth(int size)
{
    return size > DesignedIconSize ? size / 16 : size >= 48 ? 3 : size >= 32 ? 2 : 1;
}

// A point on a side face whose top edge runs from a to b and whose sides
// drop from a to d.
QPointF onFace(QPointF a, QPointF b, QPointF d, QPointF uv)
{
    return a + (b - a) * uv.x() + (d - a) * uv.y();
}

} // namespace

QImage drawAppIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);

    QPainter painter(&image);
    // The designed sizes keep to their three colours, without anti-aliasing;
    // the larger ones are drawn smooth, which at their size still reads as
    // three colours.
    painter.setRenderHint(QPainter::Antialiasing, size > DesignedIconSize);
    const double s = size - 1;
    const auto at = [s](QPointF p) { return p * s; };
    const QPen outline(Qt::black, outlineWidth(size), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);

    painter.setPen(outline);
    painter.setBrush(Qt::white);
    painter.drawPolygon(QPolygonF{{at(Top), at(Right), at(Centre), at(Left)}});
    painter.drawPolygon(QPolygonF{{at(Left), at(Centre), at(Bottom), at(LowerLeft)}});
    painter.drawPolygon(QPolygonF{{at(Centre), at(Right), at(LowerRight), at(Bottom)}});

    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::red);
    const QPointF topCentre = at((Top + Centre) / 2);
    painter.drawEllipse(topCentre, s * 0.17, s * 0.085);

    if (size >= 32) {
        painter.setBrush(Qt::black);
        const double rx = s * 0.045;
        const double ry = s * 0.06;
        for (QPointF uv : LeftFacePips)
            painter.drawEllipse(at(onFace(Left, Centre, LowerLeft, uv)), rx, ry);
        for (QPointF uv : RightFacePips)
            painter.drawEllipse(at(onFace(Centre, Right, Bottom, uv)), rx, ry);
    }
    return image;
}

QIcon makeAppIcon()
{
    // The designed images, in their order; a desktop gets the nearest.
    QIcon icon;
    for (int size : AppIconSizes)
        icon.addPixmap(QPixmap::fromImage(drawAppIcon(size)));
    return icon;
}
