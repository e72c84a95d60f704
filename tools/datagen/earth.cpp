// The planet: continents from warped fractal noise on the sphere, sea level
// chosen so that about 60 % of the surface is ocean, mountain chains from
// ridged noise, biomes from latitude and a moisture field, ice at the poles.
// The globe turns brightness (R + G + B) into relief, so every land colour is
// scaled to a brightness that rises with elevation and stays above the
// brightest shallow water.

#include <algorithm>
#include <cmath>

#include "file_makers.h"
#include "noise.h"

namespace {

constexpr int size = 512;
constexpr float oceanShare = 0.60f;

struct Colour {
    float r, g, b;
};

Colour mix(Colour a, Colour b, float t)
{
    t = std::clamp(t, 0.0f, 1.0f);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

float smooth(float edge0, float edge1, float x)
{
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// Rescales a colour to the given channel sum, keeping its hue.
Colour withBrightness(Colour c, float sum)
{
    const float current = c.r + c.g + c.b;
    const float k = sum / current;
    return {c.r * k, c.g * k, c.b * k};
}

constexpr Colour deepSea{6, 20, 64};
constexpr Colour openSea{14, 46, 102};
constexpr Colour shelfSea{26, 86, 106};
constexpr Colour forest{46, 98, 38};
constexpr Colour jungle{32, 90, 34};
constexpr Colour grassland{104, 128, 56};
constexpr Colour desert{196, 160, 102};
constexpr Colour tundra{120, 118, 96};
constexpr Colour rock{128, 112, 98};
constexpr Colour snow{236, 238, 244};
constexpr Colour ice{226, 236, 246};

struct Surface {
    float height;    // continent field; the sea level splits it
    float ridges;    // mountain crests, 0..1
    float moisture;  // -1..1
    float grain;     // fine detail, -1..1
    float iceEdge;   // wobble of the ice line, -1..1
};

}  // namespace

Image makeEarth()
{
    const Noise shape(0xEA271001u);
    const Noise warp(0xEA271002u);
    const Noise mountains(0xEA271003u);
    const Noise climate(0xEA271004u);

    std::vector<Surface> surface(static_cast<std::size_t>(size) * size);
    for (int row = 0; row < size; ++row) {
        for (int x = 0; x < size; ++x) {
            const Direction d = globeDirection(x, row, size, size);
            const float wx = warp.fractal(d.x * 1.6f + 3.1f, d.y * 1.6f, d.z * 1.6f, 3);
            const float wy = warp.fractal(d.x * 1.6f, d.y * 1.6f + 8.7f, d.z * 1.6f, 3);
            const float wz = warp.fractal(d.x * 1.6f, d.y * 1.6f, d.z * 1.6f + 4.2f, 3);
            const float px = d.x * 1.4f + wx * 0.45f;
            const float py = d.y * 1.4f + wy * 0.45f;
            const float pz = d.z * 1.4f + wz * 0.45f;

            Surface& s = surface[static_cast<std::size_t>(row) * size + x];
            s.height = shape.fractal(px, py, pz, 7, 0.55f);
            s.ridges = mountains.ridged(d.x * 3.2f, d.y * 3.2f, d.z * 3.2f, 5);
            s.moisture = climate.fractal(d.x * 2.1f + 40.0f, d.y * 2.1f, d.z * 2.1f, 4);
            s.grain = climate.fractal(d.x * 22.0f, d.y * 22.0f + 70.0f, d.z * 22.0f, 3);
            s.iceEdge = warp.fractal(d.x * 5.0f + 90.0f, d.y * 5.0f, d.z * 5.0f, 3);
        }
    }

    // Every texel covers the same area of the globe (rows are linear in
    // height), so the sea level is a plain quantile of the height field.
    std::vector<float> heights(surface.size());
    std::transform(surface.begin(), surface.end(), heights.begin(),
                   [](const Surface& s) { return s.height; });
    const auto nth = heights.begin() +
                     static_cast<std::ptrdiff_t>(oceanShare * static_cast<float>(heights.size()));
    std::nth_element(heights.begin(), nth, heights.end());
    const float seaLevel = *nth;
    const auto [lowest, highest] = std::minmax_element(heights.begin(), heights.end());
    const float depthRange = seaLevel - *lowest;
    const float landRange = *highest - seaLevel;

    Image image(size, size);
    for (int row = 0; row < size; ++row) {
        const float y = (static_cast<float>(row) + 0.5f) / size * 2.0f - 1.0f;
        const float latitude = std::asin(std::fabs(y)) / 1.5707963f;  // 0 equator, 1 pole
        for (int x = 0; x < size; ++x) {
            const Surface& s = surface[static_cast<std::size_t>(row) * size + x];
            Colour c;
            if (s.height < seaLevel) {
                const float depth = (seaLevel - s.height) / depthRange;
                c = mix(shelfSea, openSea, smooth(0.0f, 0.12f, depth));
                c = mix(c, deepSea, smooth(0.15f, 0.7f, depth));
            } else {
                const float above = (s.height - seaLevel) / landRange;
                const float chain = smooth(0.03f, 0.4f, above) * smooth(0.55f, 0.9f, s.ridges);
                const float elevation =
                    std::clamp(0.45f * std::pow(above, 0.8f) + 0.7f * chain, 0.0f, 1.0f);

                const float warmth =
                    1.0f - latitude * 1.15f - elevation * 0.45f + s.moisture * 0.08f;
                // Dry belts near 25 degrees of latitude and deep inland.
                const float dryBelt = std::exp(-std::pow((latitude - 0.3f) / 0.13f, 2.0f));
                const float wetness = s.moisture * 0.9f + 0.25f - dryBelt * 0.55f +
                                      (1.0f - smooth(0.0f, 0.25f, above)) * 0.2f;

                Colour biome = mix(desert, grassland, smooth(-0.35f, -0.05f, wetness));
                biome = mix(biome, warmth > 0.75f ? jungle : forest, smooth(0.05f, 0.4f, wetness));
                biome = mix(biome, tundra, smooth(0.35f, 0.15f, warmth));
                biome = mix(biome, rock, smooth(0.35f, 0.65f, elevation));

                // Brightness is relief: lowlands just above the sea, peaks highest.
                const float dune = (1.0f - smooth(-0.35f, -0.05f, wetness)) * 40.0f;
                c = withBrightness(biome, 250.0f + dune + 400.0f * elevation);
                // Soften the hues toward grey of the same brightness.
                const float grey = (c.r + c.g + c.b) / 3.0f;
                c = mix(c, {grey, grey, grey}, 0.25f);
                c = mix(c, snow,
                        0.85f * smooth(0.82f, 0.97f, elevation) + smooth(0.1f, -0.05f, warmth));
            }
            const float grain = 1.0f + s.grain * 0.06f;
            c = {c.r * grain, c.g * grain, c.b * grain};

            // Polar ice over land and sea alike.
            const float iceLine = 0.80f + s.iceEdge * 0.05f;
            c = mix(c, ice, smooth(iceLine, iceLine + 0.04f, latitude));
            image.at(x, row) = toRgb(c.r, c.g, c.b);
        }
    }
    return image;
}
