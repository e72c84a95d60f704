#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Builds BMP files byte by byte for the reader tests.
struct BmpLayout {
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bits = 24;
    std::uint32_t compression = 0;
    std::uint32_t imageSize = 0;
    std::uint32_t infoBytes = 40;  // pixel data offset is 14 + infoBytes
    std::uint8_t padByte = 0xEE;   // fills the row padding, which must never be read
};

inline void put32(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v)
{
    for (int k = 0; k < 4; ++k) {
        b[at + k] = static_cast<unsigned char>(v >> (8 * k));
    }
}

// rgb holds |height| rows of width (r, g, b) triples, bottom row first.
inline std::vector<unsigned char> makeBmp(const BmpLayout& layout,
                                          const std::vector<unsigned char>& rgb)
{
    std::vector<unsigned char> b(14 + layout.infoBytes, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 10, 14 + layout.infoBytes);
    if (layout.infoBytes >= 24) {
        put32(b, 14, layout.infoBytes);
        put32(b, 18, static_cast<std::uint32_t>(layout.width));
        put32(b, 22, static_cast<std::uint32_t>(layout.height));
        b[26] = 1;
        b[28] = static_cast<unsigned char>(layout.bits);
        b[29] = static_cast<unsigned char>(layout.bits >> 8);
        put32(b, 30, layout.compression);
        put32(b, 34, layout.imageSize);
    }
    const std::size_t stride = (3 * static_cast<std::size_t>(layout.width) + 3) & ~std::size_t{3};
    const std::size_t rows = rgb.size() / (3 * static_cast<std::size_t>(layout.width));
    for (std::size_t y = 0; y < rows; ++y) {
        for (std::size_t x = 0; x < static_cast<std::size_t>(layout.width); ++x) {
            const unsigned char* p = &rgb[3 * (y * layout.width + x)];
            b.push_back(p[2]);
            b.push_back(p[1]);
            b.push_back(p[0]);
        }
        for (std::size_t k = 3 * layout.width; k < stride; ++k) {
            b.push_back(layout.padByte);
        }
    }
    return b;
}

inline bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
