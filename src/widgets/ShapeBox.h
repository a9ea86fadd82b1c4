#pragma once

#include <QColor>
#include <QWidget>

// A filled rectangle with a one-pixel outline in the window-text colour.
class ShapeBox : public QWidget
{
    Q_OBJECT

public:
    ShapeBox(QColor fill, QWidget *parent);

    QColor fillColour() const { return m_fill; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_fill;
};
