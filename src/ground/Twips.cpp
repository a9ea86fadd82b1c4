#include "ground/Twips.h"

#include <QWidget>

void place(QWidget *control, TwipRect r)
{
    control->setGeometry(twipsToPixels(r));
}
