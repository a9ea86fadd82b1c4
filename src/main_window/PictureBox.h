#pragma once

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
    // Repaints only when the picture really changes.
    void setPicture(const QImage &picture);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap stretched() const;

    QImage m_picture;
};
