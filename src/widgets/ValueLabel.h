#pragma once

#include <QLabel>

// A label whose text is centred by its ink, not by its advance: the digits
// of a proportional font carry uneven side bearings, which would put "10"
// visibly off the middle of a label barely wider than it.
class ValueLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *event) override;
};
