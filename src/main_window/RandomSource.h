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

// A Mersenne Twister; each float is 24 random bits times 2^-24, which can
// never round up to 1.0 the way a float distribution may.
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
