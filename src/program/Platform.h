#pragma once

// Picks the windowing platform before the toolkit starts. On a GNOME
// Wayland session the program goes through Xwayland, where the window
// manager centres the settings over the main window, keeps the keyboard in
// it and offers no maximise button; Qt 6.4 cannot ask any of that of GNOME's
// compositor. A platform named by QT_QPA_PLATFORM or -platform always wins.
// On X11 each monitor's free area leaves out the desktop's panels.
void choosePlatform(int argc, char *argv[]);
