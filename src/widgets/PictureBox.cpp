#include "widgets/PictureBox.h"

#include <QPainter>
#include <QPixmapCache>

#include <vector>

namespace
{

// A premultiplied pixel laid over an opaque colour.
QRgb over(QRgb pixel, QRgb ground)
{
    const int rest = 255 - qAlpha(pixel);
    const auto mix = [rest](int top, int below) { return top + (below * rest + 127) / 255; };
    return qRgb(mix(qRed(pixel), qRed(ground)), mix(qGreen(pixel), qGreen(ground)),
                mix(qBlue(pixel), qBlue(ground)));
}

// Nearest-neighbour stretch that also leaves the palette behind: one pass
// straight into the 32-bit format the screen takes, opaque where nothing
// shows through (so that nothing need look for see-through pixels later).
QImage stretchNearest(const QImage &source, QSize size, QColor backdrop)
{
    const QImage picture = source.format() == QImage::Format_Indexed8
                               ? source
                               : source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QList<QRgb> colours = picture.colorTable();
    for (QRgb &colour : colours)
        colour =
            backdrop.isValid() ? over(qPremultiply(colour), backdrop.rgb()) : qPremultiply(colour);

    const bool opaque = backdrop.isValid() || !source.hasAlphaChannel();
    QImage out(size, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    const QRgb *palette = colours.constData();
    std::vector<int> column(static_cast<std::size_t>(size.width()));
    for (int x = 0; x < size.width(); ++x)
        column[static_cast<std::size_t>(x)] = (2 * x + 1) * picture.width() / (2 * size.width());
    // Runs of columns taken from neighbouring source columns: a picture
    // shown at about its own size is one or two runs a row.
    std::vector<int> runStarts;
    for (int x = 0; x < size.width(); ++x)
        if (x == 0 || column[std::size_t(x)] != column[std::size_t(x) - 1] + 1)
            runStarts.push_back(x);
    runStarts.push_back(size.width());
    uchar *bits = out.bits();
    for (int y = 0; y < size.height(); ++y) {
        const int row = (2 * y + 1) * picture.height() / (2 * size.height());
        auto *line = reinterpret_cast<QRgb *>(bits + qsizetype(y) * out.bytesPerLine());
        if (picture.format() == QImage::Format_Indexed8) {
            const uchar *from = picture.constScanLine(row);
            for (std::size_t r = 0; r + 1 < runStarts.size(); ++r) {
                const uchar *pixel = from + column[std::size_t(runStarts[r])];
                for (int x = runStarts[r]; x < runStarts[r + 1]; ++x)
                    line[x] = palette[*pixel++];
            }
        } else {
            const auto *from = reinterpret_cast<const QRgb *>(picture.constScanLine(row));
            for (int x = 0; x < size.width(); ++x) {
                const QRgb p = from[column[static_cast<std::size_t>(x)]];
                line[x] = backdrop.isValid() ? over(p, backdrop.rgb()) : p;
            }
        }
    }
    return out;
}

} // namespace

PictureBox::PictureBox(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void PictureBox::setBackdrop(QColor colour)
{
    m_backdrop = colour;
    updateOpacity();
    update();
}

void PictureBox::setPicture(const QImage &picture, const QImage &sharper)
{
    if (picture.cacheKey() == m_picture.cacheKey() && sharper.cacheKey() == m_sharper.cacheKey())
        return;
    m_picture = picture;
    m_sharper = sharper;
    updateOpacity();
    update();
}

void PictureBox::updateOpacity()
{
    // What this control covers need not be repainted beneath it.
    const QImage &shown = m_sharper.isNull() ? m_picture : m_sharper;
    setAttribute(Qt::WA_OpaquePaintEvent,
                 m_backdrop.isValid() || (!shown.isNull() && !shown.hasAlphaChannel()));
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_picture.isNull() && m_sharper.isNull()) {
        if (m_backdrop.isValid())
            painter.fillRect(rect(), m_backdrop);
        return;
    }
    // The device pixels this box covers in its window: at a fractional
    // scale its edges round to whole pixels, and the picture fills them all.
    const qreal ratio = devicePixelRatioF();
    const QPointF at = mapTo(window(), QPoint());
    const auto device = [ratio](qreal x) { return qRound(x * ratio); };
    const QPoint first(device(at.x()), device(at.y()));
    const QSize covered(device(at.x() + width()) - first.x(),
                        device(at.y() + height()) - first.y());
    painter.drawPixmap(QPointF(first) / ratio - at, stretched(covered));
}

QPixmap PictureBox::stretched(QSize device) const
{
    // Scaled and converted once per picture and size, then served from the
    // cache: a tick paints without scaling or converting anything.
    const QImage &source = m_sharper.isNull() ? m_picture : m_sharper;
    const QString key = QStringLiteral("stretch/%1/%2x%3/%4")
                            .arg(source.cacheKey())
                            .arg(device.width())
                            .arg(device.height())
                            .arg(m_backdrop.isValid() ? m_backdrop.rgba() : 0u);
    QPixmap scaled;
    if (!QPixmapCache::find(key, &scaled)) {
        scaled = QPixmap::fromImage(stretchNearest(source, device, m_backdrop));
        QPixmapCache::insert(key, scaled);
    }
    scaled.setDevicePixelRatio(devicePixelRatioF());
    return scaled;
}
