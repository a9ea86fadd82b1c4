#include "ground/RandomSource.h"

#include <array>

namespace
{

std::mt19937 engineFromEntropy()
{
    std::random_device device;
    std::array<std::uint32_t, 8> words{};
    for (auto &word : words)
        word = device();
    std::seed_seq seeds(words.begin(), words.end());
    return std::mt19937(seeds);
}

} // namespace

UniformRandom::UniformRandom() : m_engine(engineFromEntropy()) {}

UniformRandom::UniformRandom(std::uint32_t seed) : m_engine(seed) {}

float UniformRandom::next()
{
    return unitFromBits(m_engine() >> 8);
}
