#include "widgets/CommandButton.h"

#include <QKeyEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace
{

// Contrast ratio of two colours, as WCAG measures it (1 to 21).
double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

constexpr int RingWidth = 3;
constexpr int RingInset = 3; // inside the style's bevel

} // namespace

void CommandButton::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const auto released = m_releasedAt.constFind(key);
    // A time of 0 is none: the accessibility bridge hands keys on without.
    if (event->isAutoRepeat() || (event->timestamp() != 0 && released != m_releasedAt.cend() &&
                                  *released == event->timestamp())) {
        event->accept();
        return;
    }
    if ((key == Qt::Key_Space || key == Qt::Key_Select) && event->modifiers() == Qt::NoModifier) {
        event->accept();
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void CommandButton::keyReleaseEvent(QKeyEvent *event)
{
    const int key = event->key();
    m_releasedAt.insert(key, event->timestamp());
    if (event->isAutoRepeat() || key == Qt::Key_Space || key == Qt::Key_Select) {
        event->accept();
        return;
    }
    QPushButton::keyReleaseEvent(event);
}

void CommandButton::paintEvent(QPaintEvent *event)
{
    QPushButton::paintEvent(event);
    if (!hasFocus())
        return;
    const QColor face = palette().color(QPalette::Button);
    QColor ring = palette().color(QPalette::Highlight);
    if (contrast(ring, face) < 3.0)
        ring = palette().color(QPalette::ButtonText);
    QPainter painter(this);
    painter.setPen(QPen(ring, RingWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    const qreal inset = RingInset + RingWidth / 2.0;
    painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
}
