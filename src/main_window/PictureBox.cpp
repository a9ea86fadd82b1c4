#include "main_window/PictureBox.h"

#include <QPainter>
#include <QPixmapCache>

#include <vector>

namespace
{

// Nearest-neighbour stretch that also leaves the palette behind: one pass
// straight into the 32-bit format the screen takes.
QImage stretchNearest(const QImage &source, QSize size)
{
    const QImage picture = source.format() == QImage::Format_Indexed8
                               ? source
                               : source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QList<QRgb> colours = picture.colorTable();
    for (QRgb &colour : colours)
        colour = qPremultiply(colour);

    QImage out(size, QImage::Format_ARGB32_Premultiplied);
    const QRgb *palette = colours.constData();
    std::vector<int> column(static_cast<std::size_t>(size.width()));
    for (int x = 0; x < size.width(); ++x)
        column[static_cast<std::size_t>(x)] = (2 * x + 1) * picture.width() / (2 * size.width());
    for (int y = 0; y < size.height(); ++y) {
        const int row = (2 * y + 1) * picture.height() / (2 * size.height());
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        if (picture.format() == QImage::Format_Indexed8) {
            const uchar *from = picture.constScanLine(row);
            for (int x = 0; x < size.width(); ++x)
                line[x] = palette[from[column[static_cast<std::size_t>(x)]]];
        } else {
            const auto *from = reinterpret_cast<const QRgb *>(picture.constScanLine(row));
            for (int x = 0; x < size.width(); ++x)
                line[x] = from[column[static_cast<std::size_t>(x)]];
        }
    }
    return out;
}

} // namespace

PictureBox::PictureBox(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void PictureBox::setPicture(const QImage &picture)
{
    if (picture.cacheKey() == m_picture.cacheKey())
        return;
    m_picture = picture;
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, stretched());
}

QPixmap PictureBox::stretched() const
{
    // Scaled and converted once per picture and size, then served from the
    // cache: a tick paints without scaling or converting anything.
    const QString key =
        QStringLiteral("stretch/%1/%2x%3").arg(m_picture.cacheKey()).arg(width()).arg(height());
    QPixmap scaled;
    if (!QPixmapCache::find(key, &scaled)) {
        scaled = QPixmap::fromImage(stretchNearest(m_picture, size()));
        QPixmapCache::insert(key, scaled);
    }
    return scaled;
}
