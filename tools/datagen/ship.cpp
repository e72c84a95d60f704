// The ship's hull seen from above. The game stretches this picture over a
// trapezoid: the first stored row (t = 0) is the nose, of which only the
// band u 0.4..0.6 shows, and the last stored row (t = 1) is the full-width
// tail. Everything is painted inside that visible band: a pointed fuselage
// with a glass canopy, swept wings with red flashes, two engine pods with
// glowing nozzles at the tail. Magenta everywhere else.

#include <algorithm>
#include <cmath>

#include "file_makers.h"

namespace {

constexpr int size = 128;

struct Colour {
    float r, g, b;
};

Colour scaled(Colour c, float k)
{
    return {c.r * k, c.g * k, c.b * k};
}

Colour mix(Colour a, Colour b, float t)
{
    t = std::clamp(t, 0.0f, 1.0f);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

constexpr Colour hull{218, 224, 234};
constexpr Colour wingPaint{176, 186, 204};
constexpr Colour flash{214, 52, 40};
constexpr Colour glass{40, 110, 190};
constexpr Colour glint{200, 235, 255};
constexpr Colour podPaint{120, 128, 142};
constexpr Colour flame{255, 170, 60};
constexpr Colour outline{34, 38, 48};

enum class Part { none, fuselage, canopy, wing, pod, nozzle };

// a: distance from the centre line in u; t: 0 at the nose, 1 at the tail.
float fuselageHalfWidth(float t)
{
    if (t < 0.04f || t > 0.93f) {
        return 0.0f;
    }
    return 0.075f * std::sqrt(std::min(1.0f, (t - 0.04f) / 0.38f));
}

Part partAt(float a, float t)
{
    const float podCentre = 0.15f;
    if (t > 0.9f && t < 0.97f && std::fabs(a - podCentre) < 0.034f) {
        return Part::nozzle;
    }
    if (t > 0.5f && t <= 0.9f &&
        std::fabs(a - podCentre) < 0.04f - std::max(0.0f, 0.56f - t) * 0.6f) {
        return Part::pod;
    }
    const float canopyT = (t - 0.27f) / 0.1f;
    const float canopyA = a / 0.035f;
    if (canopyT * canopyT + canopyA * canopyA < 1.0f) {
        return Part::canopy;
    }
    if (a < fuselageHalfWidth(t)) {
        return Part::fuselage;
    }
    // Swept wing: leading edge from the fuselage at t 0.38 out to the tip,
    // trailing edge at t 0.86, tips clipped parallel to the centre line.
    if (t > 0.38f && t < 0.86f && a < 0.36f && a < 0.06f + (t - 0.38f) * 0.72f) {
        return Part::wing;
    }
    return Part::none;
}

Colour paint(Part part, float a, float t)
{
    switch (part) {
        case Part::fuselage: {
            // Rounded top: brightest along the spine; a seam every few panels.
            const float across = a / std::max(fuselageHalfWidth(t), 0.01f);
            Colour c = scaled(hull, 1.0f - 0.35f * across * across);
            if (std::fmod(t, 0.14f) < 0.012f) {
                c = scaled(c, 0.8f);
            }
            if (a < 0.008f && t > 0.42f) {
                c = mix(c, flash, 0.8f);  // the spine stripe
            }
            return c;
        }
        case Part::canopy: {
            const float ct = (t - 0.27f) / 0.1f;
            const float shine = std::exp(-std::pow((ct + 0.35f) / 0.25f, 2.0f) -
                                         std::pow((a - 0.012f) / 0.012f, 2.0f));
            return mix(scaled(glass, 0.8f + 0.3f * ct), glint, shine);
        }
        case Part::wing: {
            const float edge = 0.06f + (t - 0.38f) * 0.72f;
            Colour c = scaled(wingPaint, 0.85f + 0.15f * (1.0f - a / 0.36f));
            // Red flash along the leading edge, a darker band at the tips.
            if (edge - a < 0.035f && a > 0.12f) {
                c = flash;
            }
            if (a > 0.31f) {
                c = scaled(c, 0.75f);
            }
            if (std::fmod(a, 0.09f) < 0.008f) {
                c = scaled(c, 0.85f);
            }
            return c;
        }
        case Part::pod: {
            const float across = std::fabs(a - 0.15f) / 0.04f;
            return scaled(podPaint, 1.15f - 0.45f * across * across);
        }
        case Part::nozzle: {
            const float across = std::fabs(a - 0.15f) / 0.034f;
            return mix(flame, Colour{255, 240, 200}, 1.0f - across);
        }
        case Part::none:
            break;
    }
    return {0, 0, 0};
}

}  // namespace

Image makeShip()
{
    std::vector<Part> parts(static_cast<std::size_t>(size) * size, Part::none);
    auto coordinates = [](int x, int row) {
        const float u = (static_cast<float>(x) + 0.5f) / size;
        const float t = (static_cast<float>(row) + 0.5f) / size;
        return std::pair{std::fabs(u - 0.5f), t};
    };
    for (int row = 0; row < size; ++row) {
        for (int x = 0; x < size; ++x) {
            const auto [a, t] = coordinates(x, row);
            parts[static_cast<std::size_t>(row) * size + x] = partAt(a, t);
        }
    }
    auto partOf = [&parts](int x, int row) {
        if (x < 0 || x >= size || row < 0 || row >= size) {
            return Part::none;
        }
        return parts[static_cast<std::size_t>(row) * size + x];
    };

    Image image(size, size, magenta);
    for (int row = 0; row < size; ++row) {
        for (int x = 0; x < size; ++x) {
            const Part part = partOf(x, row);
            if (part == Part::none) {
                continue;
            }
            const bool edge = partOf(x - 1, row) == Part::none ||
                              partOf(x + 1, row) == Part::none ||
                              partOf(x, row - 1) == Part::none || partOf(x, row + 1) == Part::none;
            const auto [a, t] = coordinates(x, row);
            const Colour c = edge ? outline : paint(part, a, t);
            image.at(x, row) = toRgb(c.r, c.g, c.b);
        }
    }
    return image;
}
