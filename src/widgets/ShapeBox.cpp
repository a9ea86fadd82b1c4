#include "widgets/ShapeBox.h"

#include <QPainter>

ShapeBox::ShapeBox(QColor fill, QWidget *parent) : QWidget(parent), m_fill(fill)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void ShapeBox::paintEvent(QPaintEvent *)
{
    // The outline's colour under all of it, the fill within: every device
    // pixel painted at any scale, where edges drawn one by one can leave a
    // row between them that shows what was there before.
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::WindowText));
    painter.fillRect(rect().adjusted(1, 1, -1, -1), m_fill);
}
