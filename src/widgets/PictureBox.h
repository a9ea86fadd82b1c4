#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QWidget>

// An image control: shows a picture stretched to its own size, pixel for
// pixel without smoothing, so colours stay exact and transparent areas show
// what lies behind. The picture is shared with whoever handed it over; what
// is put on screen is made ready once per picture and size, then cached.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent);

    const QImage &picture() const { return m_picture; }
    // The colour that lies behind this control. Given one, its see-through
    // pixels are shown in that colour and the control paints opaquely, so
    // a change of picture repaints it alone, not what lies below.
    void setBackdrop(QColor colour);
    // Repaints only when the picture really changes. `sharper`, where given,
    // is the same picture drawn at the resolution it is shown at, where
    // that is not its own (a window shown smaller, a screen with more than
    // one device pixel to a pixel); it is shown alone where the picture
    // itself is not drawn yet, as it need not be before it is asked for.
    void setPicture(const QImage &picture, const QImage &sharper = QImage());

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap stretched(QSize device) const;
    void updateOpacity();

    QImage m_picture;
    QImage m_sharper;
    QColor m_backdrop;
};
