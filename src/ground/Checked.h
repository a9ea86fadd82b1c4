#pragma once

#include <array>
#include <cstddef>

// An index outside its array stops the program with a message naming the
// array, instead of reading or writing memory that is not there.
[[noreturn]] void indexOutOfRange(const char *what, int index, std::size_t size);

template <typename T, std::size_t N>
T &checkedAt(std::array<T, N> &array, int index, const char *what)
{
    if (index < 0 || static_cast<std::size_t>(index) >= N)
        indexOutOfRange(what, index, N);
    return array[static_cast<std::size_t>(index)];
}

template <typename T, std::size_t N>
const T &checkedAt(const std::array<T, N> &array, int index, const char *what)
{
    if (index < 0 || static_cast<std::size_t>(index) >= N)
        indexOutOfRange(what, index, N);
    return array[static_cast<std::size_t>(index)];
}
