#include "widgets/ValueLabel.h"

#include <QPainter>
#include <QPainterPath>

void ValueLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QFontMetricsF metrics(font());
    // The outline's extent is the ink: left and right of it equal margins.
    QPainterPath outline;
    outline.addText(0, 0, font(), text());
    const QRectF ink = outline.boundingRect();
    const qreal x = (width() - ink.width()) / 2 - ink.left();
    // Down the label, the line is centred as a plain label centres it.
    const qreal baseline = (height() - metrics.height()) / 2 + metrics.ascent();
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QPointF(qRound(x), qRound(baseline)), text());
}
