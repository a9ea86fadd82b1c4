#pragma once

#include <cstdint>
#include <random>

// Where the dice get their luck: uniform single-precision values in [0, 1).
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual float next() = 0;
};

// The low 24 bits of `bits` as a float in [0, 1): a multiple of 2^-24, so
// every value is exact and the largest is 1 - 2^-24, never 1.0 (a float
// distribution may round up to 1.0).
constexpr float unitFromBits(std::uint32_t bits)
{
    return static_cast<float>(bits & 0xFFFFFFu) * (1.0f / 16777216.0f);
}

// A Mersenne Twister, 24 of its bits to each float.
class UniformRandom final : public RandomSource
{
public:
    // Seeded from the operating system's entropy: every run throws anew.
    UniformRandom();
    // A fixed sequence, for tests.
    explicit UniformRandom(std::uint32_t seed);

    float next() override;

private:
    std::mt19937 m_engine;
};
