#include "windows/CompactComboStyle.h"

#include <QStyleOptionComplex>

namespace
{
constexpr int ArrowWidth = 14;
constexpr int Margin = 2;
} // namespace

QRect CompactComboStyle::subControlRect(ComplexControl control, const QStyleOptionComplex *option,
                                        SubControl subControl, const QWidget *widget) const
{
    if (control != CC_ComboBox)
        return QProxyStyle::subControlRect(control, option, subControl, widget);
    const QRect r = option->rect;
    switch (subControl) {
    case SC_ComboBoxArrow:
        return visualRect(option->direction, r,
                          QRect(r.right() - ArrowWidth, r.top() + 1, ArrowWidth, r.height() - 2));
    case SC_ComboBoxEditField:
        return visualRect(option->direction, r,
                          QRect(r.left() + Margin, r.top() + Margin,
                                r.width() - ArrowWidth - 2 * Margin, r.height() - 2 * Margin));
    default:
        return QProxyStyle::subControlRect(control, option, subControl, widget);
    }
}
