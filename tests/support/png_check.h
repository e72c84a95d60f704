#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

// Reads back an 8-bit RGB or RGBA PNG of the kind the runner and the data
// generator write (filter 0 rows), checking the signature, every chunk's CRC
// and the pixel data's length.
struct DecodedPng {
    bool ok = false;
    std::string error;
    int width = 0;
    int height = 0;
    int channels = 3;                 // 3 for RGB, 4 for RGBA
    std::vector<std::uint8_t> pixels;  // rows top first

    const std::uint8_t* pixel(int x, int y) const
    {
        return pixels.data() + (static_cast<std::size_t>(y) * width + x) * channels;
    }
};

inline std::uint32_t read32(const std::uint8_t* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

inline DecodedPng decodePng(const std::vector<std::uint8_t>& file)
{
    DecodedPng d;
    const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || !std::equal(signature, signature + 8, file.begin())) {
        d.error = "no PNG signature";
        return d;
    }
    std::vector<std::uint8_t> idat;
    bool sawHeader = false;
    bool sawEnd = false;
    std::size_t at = 8;
    while (at + 12 <= file.size() && !sawEnd) {
        const std::uint32_t length = read32(&file[at]);
        if (at + 12 + length > file.size()) {
            d.error = "chunk past the end";
            return d;
        }
        const std::string type(reinterpret_cast<const char*>(&file[at + 4]), 4);
        const std::uint8_t* data = &file[at + 8];
        const uLong crc = crc32(0L, &file[at + 4], static_cast<uInt>(4 + length));
        if (crc != read32(data + length)) {
            d.error = "bad CRC in " + type;
            return d;
        }
        if (type == "IHDR") {
            if (length != 13 || data[8] != 8 || (data[9] != 2 && data[9] != 6) || data[12] != 0) {
                d.error = "not an 8-bit RGB or RGBA image";
                return d;
            }
            d.width = static_cast<int>(read32(data));
            d.height = static_cast<int>(read32(data + 4));
            d.channels = data[9] == 6 ? 4 : 3;
            if (d.width < 1 || d.height < 1 || d.width > 16384 || d.height > 16384) {
                d.error = "image size out of range";
                return d;
            }
            sawHeader = true;
        } else if (type == "IDAT") {
            idat.insert(idat.end(), data, data + length);
        } else if (type == "IEND") {
            sawEnd = true;
        }
        at += 12 + length;
    }
    if (!sawHeader || !sawEnd) {
        d.error = "missing IHDR or IEND";
        return d;
    }
    const std::size_t stride = static_cast<std::size_t>(d.width) * d.channels + 1;
    std::vector<std::uint8_t> raw(stride * static_cast<std::size_t>(d.height));
    uLongf rawSize = static_cast<uLongf>(raw.size());
    if (uncompress(raw.data(), &rawSize, idat.data(), static_cast<uLong>(idat.size())) != Z_OK ||
        rawSize != raw.size()) {
        d.error = "pixel data does not inflate to the image size";
        return d;
    }
    for (int y = 0; y < d.height; ++y) {
        if (raw[stride * static_cast<std::size_t>(y)] != 0) {
            d.error = "unexpected row filter";
            return d;
        }
        d.pixels.insert(d.pixels.end(), raw.begin() + static_cast<long>(stride * y + 1),
                     raw.begin() + static_cast<long>(stride * (y + 1)));
    }
    d.ok = true;
    return d;
}
