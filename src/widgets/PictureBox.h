#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <map>
#include <tuple>

// A set of pictures that draw themselves from their geometry: picture k
// drawn at a scale (2: twice as many pixels each way) when it is first
// shown so, stretched to the size it is shown at, over the one colour that
// lies behind every picture of the set, and kept for every box that shows
// it alike.
class PictureSet
{
public:
    // Picture `index` at `scale`; a function, so that this layer needs no
    // knowledge of what it draws.
    using Draw = QImage (*)(int index, double scale);

    // One picture of a set, as a box is handed it; none by default.
    struct Picture {
        const PictureSet *set = nullptr;
        int index = 0;
        bool operator==(const Picture &) const = default;
        bool isNull() const { return !set; }
    };

    PictureSet(Draw draw, int count, const char *name, QColor behind)
        : m_draw(draw), m_count(count), m_name(name), m_behind(behind.rgb())
    {
    }

    // Picture k; an index outside the set stops the program, naming it.
    Picture operator()(int index) const;
    // Picture k drawn at `scale`, as it is before it is stretched.
    QImage drawn(int index, double scale = 1.0) const;
    // Picture k drawn at `scale`, stretched to `device` pixels, its
    // see-through pixels in the colour that lies behind it.
    const QPixmap &shown(int index, double scale, QSize device) const;
    // The scale the pictures shown were drawn at: the last asked for.
    double scale() const { return m_scale; }

private:
    Draw m_draw;
    int m_count;
    const char *m_name;
    QRgb m_behind;
    // The pictures shown at one scale; another scale draws them anew.
    mutable double m_scale = 0.0;
    mutable std::map<std::tuple<int, int, int>, QPixmap> m_shown;
};

// An image control: shows a picture of a set stretched to its own size,
// pixel for pixel without smoothing, so colours stay exact, and where the
// picture is see-through, the colour the set lies on. So it paints
// opaquely: a new picture repaints it alone, not what lies below.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent);

    const PictureSet::Picture &picture() const { return m_picture; }
    // Repaints only when the picture really changes.
    void setPicture(PictureSet::Picture picture);
    // The pictures are drawn at this zoom times the screen's own scale.
    void setZoom(double zoom);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    PictureSet::Picture m_picture;
    double m_zoom = 1.0;
};
