#pragma once

#include <QPushButton>

// A push button that shows plainly that it has the keyboard: the focus is
// drawn as a solid ring in the style's highlight, or in the text colour where
// the highlight stands out too little from the face. On some styles the
// focus mark alone is too faint to see at a glance on the green window.
class CommandButton : public QPushButton
{
    Q_OBJECT

public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *event) override;
};
