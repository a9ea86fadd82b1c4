#pragma once

// One press of a key on a button is one click, however long the key is held:
// the keyboard's repeats never reach a button, whether the platform flags
// them as repeats or, as X11 with detectable auto-repeat does, sends them as
// further presses of a key that is still down. Other controls still get
// them, so a held arrow key still walks through a list. Installed once on
// the application.
void installOnePressPerKey();
