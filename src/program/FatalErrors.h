#pragma once

// What the user sees when the program cannot go on.
//
// From here until startupFinished(), the toolkit's messages are held back;
// if it gives up (no display, no platform), one line on stderr says why and
// what to do, and the program exits with status 1.
void holdStartupMessages();

// Releases the held messages. From then on a fatal error (a slip in code
// that breaks a setting or an index) is written to stderr and, where
// windows can be shown, in an error box, before the program exits with
// status 1.
void startupFinished();

// Headless platforms (offscreen, minimal) show no error box, for nobody
// could close it. A test of the box turns it on there.
void showErrorBoxHeadless(bool show);
