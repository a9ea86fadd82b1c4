#include "ground/Checked.h"

#include <QtGlobal>

void indexOutOfRange(const char *what, int index, std::size_t size)
{
    qFatal("%s(%d): index out of range 0 to %d", what, index, static_cast<int>(size) - 1);
}
