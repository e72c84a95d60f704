// The moon: grey highlands with darker maria, a few hundred craters with
// lit and shadowed walls, bright rims and faint ejecta. Everything is
// sampled on the sphere, so the left and right edges meet.

#include <algorithm>
#include <cmath>

#include "file_makers.h"
#include "noise.h"

namespace {

constexpr int size = 256;
constexpr int craterCount = 420;

struct Crater {
    Direction centre;
    Direction east;  // tangent frame at the centre, for the lighting
    Direction north;
    float radius;    // angular radius in radians
    float cosReach;  // cosine of the outer reach of its ejecta
    float depth;
};

float dot(Direction a, Direction b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Direction normalised(Direction a)
{
    const float length = std::sqrt(dot(a, a));
    return {a.x / length, a.y / length, a.z / length};
}

Direction cross(Direction a, Direction b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

std::vector<Crater> scatterCraters()
{
    Random random(0x3001A7EDu);
    std::vector<Crater> craters;
    craters.reserve(craterCount);
    for (int i = 0; i < craterCount; ++i) {
        Crater c;
        // Uniform on the sphere: height uniform, azimuth uniform.
        const float y = random.signedUnit();
        const float azimuth = random.unit() * 6.2831853f;
        const float ring = std::sqrt(1.0f - y * y);
        c.centre = {ring * std::sin(azimuth), y, ring * std::cos(azimuth)};
        const Direction up = std::fabs(y) > 0.99f ? Direction{1, 0, 0} : Direction{0, 1, 0};
        c.east = normalised(cross(up, c.centre));
        c.north = cross(c.centre, c.east);
        // Many small craters, few large ones.
        const float r = random.unit();
        c.radius = 0.03f + 0.22f * r * r * r * r * r;
        c.cosReach = std::cos(c.radius * 2.2f);
        c.depth = random.range(0.4f, 1.0f);
        craters.push_back(c);
    }
    return craters;
}

// Brightness change a crater makes at direction p.
float craterShade(const Crater& c, Direction p)
{
    const float cosine = dot(p, c.centre);
    if (cosine < c.cosReach) {
        return 0.0f;
    }
    const float angle = std::acos(std::min(1.0f, cosine));
    const float s = angle / c.radius;
    // Where in the bowl: positive toward the light (from the upper left).
    const float e = dot(p, c.east);
    const float n = dot(p, c.north);
    const float across = (angle > 1e-6f ? (n - e) * 0.7071f / std::sin(angle) : 0.0f);

    float shade = 0.0f;
    if (s < 1.0f) {
        // Bowl: darker floor, the wall facing the light bright, the other in shadow.
        shade -= 0.06f * (1.0f - s * s);
        shade += 0.2f * std::pow(s, 1.5f) * -across;
    }
    shade += 0.07f * std::exp(-std::pow((s - 1.0f) / 0.16f, 2.0f)) * (1.0f + 0.8f * across);
    if (s > 1.0f) {
        shade += 0.05f * std::exp(-(s - 1.0f) * 3.0f);
    }
    return shade * c.depth;
}

}  // namespace

Image makeMoon()
{
    const Noise maria(0x3001A001u);
    const Noise grit(0x3001A002u);
    const std::vector<Crater> craters = scatterCraters();

    Image image(size, size);
    for (int row = 0; row < size; ++row) {
        for (int x = 0; x < size; ++x) {
            const Direction p = globeDirection(x, row, size, size);
            const float plains = maria.fractal(p.x * 1.7f, p.y * 1.7f, p.z * 1.7f, 4);
            float brightness = 0.62f;
            brightness -= 0.24f * std::clamp((plains + 0.05f) * 2.5f, 0.0f, 1.0f);
            brightness += 0.05f * grit.fractal(p.x * 9.0f, p.y * 9.0f, p.z * 9.0f, 3);
            brightness += 0.035f * grit.fractal(p.x * 40.0f + 5.0f, p.y * 40.0f, p.z * 40.0f, 2);
            for (const Crater& c : craters) {
                brightness += craterShade(c, p);
            }
            const float v = brightness * 255.0f;
            // A hint of warmth keeps it from looking like plain grey noise.
            image.at(x, row) = toRgb(v * 1.02f, v, v * 0.96f);
        }
    }
    return image;
}
