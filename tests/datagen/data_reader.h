#pragma once

// Reads the generated data files back for the tests, with parsing of its
// own: nothing here shares code with the generator.

#include <cstdint>
#include <string>
#include <vector>

#include "data_folder.h"

// The whole file, or an empty vector when it cannot be read.
std::vector<std::uint8_t> readBytes(const std::string& path);
std::vector<std::uint8_t> readDataFile(const std::string& name);

std::uint16_t le16(const std::vector<std::uint8_t>& bytes, std::size_t at);
std::uint32_t le32(const std::vector<std::uint8_t>& bytes, std::size_t at);

struct Pixel {
    int r = 0;
    int g = 0;
    int b = 0;

    bool isMagenta() const { return r == 255 && g == 0 && b == 255; }
    int sum() const { return r + g + b; }
};

struct Bitmap {
    std::string error;  // empty when the file parsed
    std::uint32_t fileSizeField = 0;
    std::uint32_t dataOffset = 0;
    std::uint32_t infoSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitsPerPixel = 0;
    std::uint32_t compression = 0;
    std::uint32_t imageSize = 0;
    std::uint32_t colourCount = 0;
    std::size_t byteCount = 0;
    std::vector<Pixel> pixels;  // row 0 is the first stored row (the bottom)

    const Pixel& at(int x, int row) const
    {
        return pixels[static_cast<std::size_t>(row) * width + x];
    }
};

Bitmap parseBitmap(const std::vector<std::uint8_t>& bytes);

struct Wave {
    std::string error;  // empty when the file parsed
    std::uint32_t riffSize = 0;
    std::size_t byteCount = 0;
    std::uint32_t formatSize = 0;
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t byteRate = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint32_t dataSize = 0;
    std::vector<std::int16_t> samples;  // interleaved

    std::size_t frames() const { return channels ? samples.size() / channels : 0; }
    // One channel's samples.
    std::vector<int> channel(int index) const;
};

Wave parseWave(const std::vector<std::uint8_t>& bytes);
