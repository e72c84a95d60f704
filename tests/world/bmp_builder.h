#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Builds BMP files byte by byte for the reader tests.
struct BmpSpec {
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
inline std::vector<unsigned char> makeBmp(const BmpSpec& spec,
                                          const std::vector<unsigned char>& rgb)
{
    std::vector<unsigned char> b(14 + spec.infoBytes, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 10, 14 + spec.infoBytes);
    if (spec.infoBytes >= 24) {
        put32(b, 14, spec.infoBytes);
        put32(b, 18, static_cast<std::uint32_t>(spec.width));
        put32(b, 22, static_cast<std::uint32_t>(spec.height));
        b[26] = 1;
        b[28] = static_cast<unsigned char>(spec.bits);
        b[29] = static_cast<unsigned char>(spec.bits >> 8);
        put32(b, 30, spec.compression);
        put32(b, 34, spec.imageSize);
    }
    const std::size_t stride = (3 * static_cast<std::size_t>(spec.width) + 3) & ~std::size_t{3};
    const std::size_t rows = rgb.size() / (3 * static_cast<std::size_t>(spec.width));
    for (std::size_t y = 0; y < rows; ++y) {
        for (std::size_t x = 0; x < static_cast<std::size_t>(spec.width); ++x) {
            const unsigned char* p = &rgb[3 * (y * spec.width + x)];
            b.push_back(p[2]);
            b.push_back(p[1]);
            b.push_back(p[0]);
        }
        for (std::size_t k = 3 * spec.width; k < stride; ++k) {
            b.push_back(spec.padByte);
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
