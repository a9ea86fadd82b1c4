#pragma once

#include <cstdint>

namespace basMain
{

// The three settings of a throw, for the whole run; never saved. Plain
// process-wide variables: whoever needs one reads it directly.
extern std::int16_t DiceFaces; // highest value a die shows: 2 to 10
extern std::int16_t DiceCount; // dice shown and thrown: 1 to 4
extern std::int16_t ZeroFace;  // -1: dice also show 0; 0: they start at 1

// Stops the program with a message naming the setting when one is out of
// its range; nothing in the windows can set one so, a slip in code could.
void checkSettings();

} // namespace basMain
