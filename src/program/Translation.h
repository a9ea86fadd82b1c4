#pragma once

#include <QString>

// The program's own messages in the user's language: Japanese where the
// locale is Japanese and its encoding holds Japanese, English elsewhere. Looked up without a
// running application, for the command line is read before the toolkit starts. The translations are
// built into the program.
QString translated(const char *context, const char *text);
