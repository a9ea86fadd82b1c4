#pragma once

#include <QFont>

// The proportional Japanese gothic every text of the program uses, sized in
// pixels so that the fixed layouts hold on any screen.
QFont gothicFont(int pixelSize);
