#pragma once

#include "ground/Settings.h"

namespace basMain
{

// Sets the defaults and opens the main window. Needs a QApplication.
void Main();

} // namespace basMain
