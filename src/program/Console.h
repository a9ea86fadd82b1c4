#pragma once

#include <QString>

#include <cstdio>

// Writes what the command line answers (help, version, refusals) and the
// program's messages where the user who typed it will read it, in the
// locale's own encoding. On Windows the program has no console of
// its own: it writes where its output was redirected, else to the console
// it was started from, else (started from a shortcut) shows the text in a
// message box once the program is done with it (flushConsole).
// A refusal shows with the error icon, help and version with the
// information one.
void writeConsole(std::FILE *stream, const QString &text);
void flushConsole();

// Whether the answers go to a message box (Windows, started from a
// shortcut): there is no command to suggest typing there.
bool answersInBox();

// An argument as the user typed it, in the locale's own encoding.
QString fromTerminal(const char *argument);

// Whether the user's locale can show Japanese text (its encoding holds it);
// where not, the program speaks English.
bool localeShowsJapanese();

// Text for a terminal: each line longer than a terminal's 80 columns (a
// Japanese letter taking two) broken where a line may break, Japanese
// included.
QString wrappedForTerminal(const QString &text);
