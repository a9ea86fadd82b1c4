#include "main_window/PictureBox.h"

#include <QPainter>
#include <QPixmapCache>

PictureBox::PictureBox(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void PictureBox::setPicture(const QPixmap &picture)
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
    if (m_picture.size() == size())
        return m_picture;
    // Scaled once per picture and size, then served from the cache: a tick
    // paints without scaling anything.
    const QString key =
        QStringLiteral("stretch/%1/%2x%3").arg(m_picture.cacheKey()).arg(width()).arg(height());
    QPixmap scaled;
    if (!QPixmapCache::find(key, &scaled)) {
        scaled = m_picture.scaled(size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
        QPixmapCache::insert(key, scaled);
    }
    return scaled;
}
