#include "bmp_writer.h"

#include <cmath>

#include "little_endian.h"

std::uint8_t toChannel(float value)
{
    if (!(value > 0.0f)) {
        return 0;
    }
    if (value >= 255.0f) {
        return 255;
    }
    return static_cast<std::uint8_t>(std::lround(value));
}

Rgb toRgb(float r, float g, float b)
{
    return {toChannel(r), toChannel(g), toChannel(b)};
}

std::vector<std::uint8_t> encodeBmp(const Image& image)
{
    constexpr std::uint32_t headerSize = 14 + 40;
    const std::uint32_t stride = (static_cast<std::uint32_t>(image.width) * 3 + 3) & ~3u;
    const std::uint32_t pixelBytes = stride * static_cast<std::uint32_t>(image.height);

    std::vector<std::uint8_t> out;
    out.reserve(headerSize + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    put32(out, headerSize + pixelBytes);
    put32(out, 0);           // reserved
    put32(out, headerSize);  // offset of the pixel data

    put32(out, 40);  // info header size
    put32(out, static_cast<std::uint32_t>(image.width));
    put32(out, static_cast<std::uint32_t>(image.height));  // positive: bottom row first
    put16(out, 1);                                         // planes
    put16(out, 24);                                        // bits per pixel
    put32(out, 0);                                         // no compression
    put32(out, pixelBytes);
    put32(out, 2835);  // 72 dpi, in pixels per metre
    put32(out, 2835);
    put32(out, 0);  // no palette
    put32(out, 0);

    for (int row = 0; row < image.height; ++row) {
        for (int x = 0; x < image.width; ++x) {
            const Rgb& p = image.at(x, row);
            out.push_back(p.b);
            out.push_back(p.g);
            out.push_back(p.r);
        }
        for (std::uint32_t pad = static_cast<std::uint32_t>(image.width) * 3; pad < stride; ++pad) {
            out.push_back(0);
        }
    }
    return out;
}
