#pragma once

// The command line, read before the toolkit starts so that --help and
// --version work without a display. The program takes no settings from it;
// the toolkit's own options (-platform, -style, ...) pass through.
// Returns the exit status when the program should stop here, or -1 to go on.
int handleCommandLine(int argc, char *argv[]);
