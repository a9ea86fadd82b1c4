#pragma once

#include <QFont>
#include <QStringList>

// The proportional Japanese gothics the program may use, the designed one
// first; each fits every text of the program at the designed sizes.
const QStringList &gothicFamilyCandidates();

// The proportional Japanese gothic every text of the program uses, sized in
// pixels so that the fixed layouts hold on any screen. The first time it is
// asked for on a system with no Japanese font at all, it says on stderr
// which package to install.
QFont gothicFont(int pixelSize);
