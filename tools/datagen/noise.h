#pragma once

#include <array>
#include <cstdint>

// A small deterministic generator (xorshift32) for everything random in the
// data files. Each file seeds its own, so files do not depend on each other.
struct Random {
    std::uint32_t state;

    explicit Random(std::uint32_t seed) : state(seed ? seed : 0x9E3779B9u) {}

    std::uint32_t nextBits();
    // Uniform in [0, 1).
    float unit();
    // Uniform in [-1, 1).
    float signedUnit();
    // Uniform in [low, high).
    float range(float low, float high) { return low + (high - low) * unit(); }
};

struct Direction {
    float x;
    float y;
    float z;
};

// The unit direction from the globe's centre that the globe mesh shows at
// the centre of texel (column, row) of a width x height image: rows run
// linearly in height from the bottom pole (row 0) to the top pole, columns
// run once around the equator. Sampling 3D noise at this direction makes a
// picture that tiles in x (column 0 and the last column are neighbours on
// the globe) and is not stretched near the poles.
Direction globeDirection(int column, int row, int width, int height);

// Gradient noise in three dimensions, roughly in [-1, 1], smooth, with a
// lattice shuffled by the seed.
class Noise {
public:
    explicit Noise(std::uint32_t seed);

    float sample(float x, float y, float z) const;

    // Sum of octaves, each twice the frequency and `gain` times the
    // amplitude of the one before, normalised back to roughly [-1, 1].
    float fractal(float x, float y, float z, int octaves, float gain = 0.5f) const;

    // Ridged octaves (1 - |noise|, sharpened): sharp crests for mountain
    // chains. Roughly [0, 1].
    float ridged(float x, float y, float z, int octaves) const;

private:
    std::array<std::uint8_t, 512> permutation_{};
};
