#pragma once

#include <QProxyStyle>

// Drop-down lists as narrow as the dialog's (49 px) still show "10": a
// slimmer arrow button and less padding than the desktop style's.
class CompactComboStyle : public QProxyStyle
{
    Q_OBJECT

public:
    using QProxyStyle::QProxyStyle;

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option,
                         SubControl subControl, const QWidget *widget) const override;
};
