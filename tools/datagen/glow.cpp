// The soft round glow behind every sprite: a bright core inside a wide halo,
// white at the centre and exactly black from a radius of 30 texels outward.

#include <cmath>

#include "file_makers.h"

namespace {

constexpr int size = 64;
constexpr float reach = 30.0f;

float glowAt(float r)
{
    if (r >= reach) {
        return 0.0f;
    }
    const float t = r / reach;
    const float halo = (1.0f - t) * (1.0f - t);
    const float core = std::exp(-(r * r) / 40.0f);
    // Ease the last texels down to zero so the edge is never visible.
    const float edge = 1.0f - t * t * t * t;
    return (0.55f * halo + 0.45f * core) * edge;
}

}  // namespace

Image makeGlow()
{
    constexpr float centre = size * 0.5f;
    const float brightest = glowAt(std::sqrt(0.5f));  // the four centre texels
    Image image(size, size);
    for (int row = 0; row < size; ++row) {
        for (int x = 0; x < size; ++x) {
            const float dx = static_cast<float>(x) + 0.5f - centre;
            const float dy = static_cast<float>(row) + 0.5f - centre;
            const float v = glowAt(std::sqrt(dx * dx + dy * dy)) / brightest * 255.0f;
            image.at(x, row) = toRgb(v, v, v);
        }
    }
    return image;
}
