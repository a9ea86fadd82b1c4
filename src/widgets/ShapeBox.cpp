#include "widgets/ShapeBox.h"

#include <QPainter>

ShapeBox::ShapeBox(QColor fill, QWidget *parent) : QWidget(parent), m_fill(fill)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void ShapeBox::paintEvent(QPaintEvent *)
{
    // The outline as four one-pixel fills: the same pixels as a pen's,
    // without a stroker.
    QPainter painter(this);
    const QRect r = rect();
    const QColor outline = palette().color(QPalette::WindowText);
    painter.fillRect(r.adjusted(1, 1, -1, -1), m_fill);
    painter.fillRect(r.left(), r.top(), r.width(), 1, outline);
    painter.fillRect(r.left(), r.bottom(), r.width(), 1, outline);
    painter.fillRect(r.left(), r.top(), 1, r.height(), outline);
    painter.fillRect(r.right(), r.top(), 1, r.height(), outline);
}
