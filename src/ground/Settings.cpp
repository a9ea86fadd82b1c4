#include "ground/Settings.h"

#include <QtGlobal>

namespace basMain
{

std::int16_t DiceFaces;
std::int16_t DiceCount;
std::int16_t ZeroFace; // its default is the zero every global starts with

void checkSettings()
{
    const auto check = [](const char *name, int value, int low, int high) {
        if (value < low || value > high)
            qFatal("%s = %d is out of range (%d to %d)", name, value, low, high);
    };
    check("DiceFaces", DiceFaces, 2, 10);
    check("DiceCount", DiceCount, 1, 4);
    if (ZeroFace != -1 && ZeroFace != 0)
        qFatal("ZeroFace = %d is out of range (-1 or 0)", ZeroFace);
}

} // namespace basMain
