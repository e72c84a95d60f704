#include "noise.h"

#include <cmath>
#include <numbers>

std::uint32_t Random::nextBits()
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

float Random::unit()
{
    return static_cast<float>(nextBits() >> 8) * (1.0f / 16777216.0f);
}

float Random::signedUnit()
{
    return unit() * 2.0f - 1.0f;
}

Direction globeDirection(int column, int row, int width, int height)
{
    // The globe reads u = 1 - azimuth / 2pi and v = (y + 1) / 2.
    const float u = (static_cast<float>(column) + 0.5f) / static_cast<float>(width);
    const float v = (static_cast<float>(row) + 0.5f) / static_cast<float>(height);
    const float y = v * 2.0f - 1.0f;
    const float azimuth = (1.0f - u) * 2.0f * std::numbers::pi_v<float>;
    const float ring = std::sqrt(std::fmax(0.0f, 1.0f - y * y));
    return {ring * std::sin(azimuth), y, ring * std::cos(azimuth)};
}

namespace {

float fade(float t)
{
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

float lerp(float a, float b, float t)
{
    return a + (b - a) * t;
}

// Dot product of the offset with one of twelve edge gradients.
float grad(std::uint8_t hash, float x, float y, float z)
{
    const int h = hash & 15;
    const float u = h < 8 ? x : y;
    const float v = h < 4 ? y : (h == 12 || h == 14 ? x : z);
    return ((h & 1) ? -u : u) + ((h & 2) ? -v : v);
}

}  // namespace

Noise::Noise(std::uint32_t seed)
{
    for (int i = 0; i < 256; ++i) {
        permutation_[i] = static_cast<std::uint8_t>(i);
    }
    Random random(seed);
    for (int i = 255; i > 0; --i) {
        const int j = static_cast<int>(random.nextBits() % static_cast<std::uint32_t>(i + 1));
        std::swap(permutation_[i], permutation_[j]);
    }
    for (int i = 0; i < 256; ++i) {
        permutation_[256 + i] = permutation_[i];
    }
}

float Noise::sample(float x, float y, float z) const
{
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const float fz = std::floor(z);
    const int X = static_cast<int>(fx) & 255;
    const int Y = static_cast<int>(fy) & 255;
    const int Z = static_cast<int>(fz) & 255;
    x -= fx;
    y -= fy;
    z -= fz;
    const float u = fade(x);
    const float v = fade(y);
    const float w = fade(z);

    const auto& p = permutation_;
    const int A = p[X] + Y;
    const int AA = p[A] + Z;
    const int AB = p[A + 1] + Z;
    const int B = p[X + 1] + Y;
    const int BA = p[B] + Z;
    const int BB = p[B + 1] + Z;

    return lerp(
        lerp(lerp(grad(p[AA], x, y, z), grad(p[BA], x - 1, y, z), u),
             lerp(grad(p[AB], x, y - 1, z), grad(p[BB], x - 1, y - 1, z), u), v),
        lerp(lerp(grad(p[AA + 1], x, y, z - 1), grad(p[BA + 1], x - 1, y, z - 1), u),
             lerp(grad(p[AB + 1], x, y - 1, z - 1), grad(p[BB + 1], x - 1, y - 1, z - 1), u), v),
        w);
}

float Noise::fractal(float x, float y, float z, int octaves, float gain) const
{
    float sum = 0.0f;
    float amplitude = 1.0f;
    float total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * sample(x, y, z);
        total += amplitude;
        amplitude *= gain;
        // Double the frequency and shift, so octaves do not share lattice points.
        x = x * 2.0f + 17.3f;
        y = y * 2.0f + 5.9f;
        z = z * 2.0f + 31.7f;
    }
    return sum / total * 1.4f;
}

float Noise::ridged(float x, float y, float z, int octaves) const
{
    float sum = 0.0f;
    float amplitude = 1.0f;
    float total = 0.0f;
    float weight = 1.0f;
    for (int i = 0; i < octaves; ++i) {
        float crest = 1.0f - std::fabs(sample(x, y, z));
        crest *= crest;
        sum += amplitude * crest * weight;
        total += amplitude;
        weight = std::fmin(1.0f, crest * 1.5f);
        amplitude *= 0.5f;
        x = x * 2.0f + 11.1f;
        y = y * 2.0f + 23.4f;
        z = z * 2.0f + 7.7f;
    }
    return sum / total;
}
