#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One 24-bit colour.
struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The colour the texture loader turns transparent.
inline constexpr Rgb magenta{255, 0, 255};

// A picture held in file order: row 0 is the first row stored, which is the
// bottom row of the picture and texture row t = 0.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;

    Image(int w, int h, Rgb fill = {})
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill)
    {
    }

    Rgb& at(int x, int row) { return pixels[static_cast<std::size_t>(row) * width + x]; }
    const Rgb& at(int x, int row) const
    {
        return pixels[static_cast<std::size_t>(row) * width + x];
    }
};

// Clamps a channel value to 0..255 and rounds it.
std::uint8_t toChannel(float value);
Rgb toRgb(float r, float g, float b);

// The bytes of an uncompressed 24-bit bottom-up BMP without palette.
std::vector<std::uint8_t> encodeBmp(const Image& image);
