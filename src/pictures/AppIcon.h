#pragma once

#include <QIcon>
#include <QImage>

#include <array>

// The sizes of the program icon, in the order they are listed.
constexpr std::array<int, 3> AppIconSizes = {32, 16, 48};
// The largest size whose image the design fixes; larger ones are drawn smooth.
constexpr int DesignedIconSize = 48;
// The sizes installed for desktops and software centres, listed once, in the
// build, for the packaging too.
constexpr std::array<int, MILBANE_ICON_COUNT> InstalledIconSizes = {MILBANE_ICON_SIZES};

// A white die seen from above one corner, black outlines, a red pip on top
// and, from 32 px up, pips on the two side faces. Only white, black and red
// on transparency.
QImage drawAppIcon(int size);

QIcon makeAppIcon();
