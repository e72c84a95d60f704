#include "data_reader.h"

#include <cstring>
#include <fstream>

std::vector<std::uint8_t> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        return {};
    }
    const std::streamsize size = in.tellg();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size > 0 ? size : 0));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        return {};
    }
    return bytes;
}

std::vector<std::uint8_t> readDataFile(const std::string& name)
{
    return readBytes(dataFile(name));
}

std::uint16_t le16(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t le32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(le16(bytes, at)) |
           static_cast<std::uint32_t>(le16(bytes, at + 2)) << 16;
}

Bitmap parseBitmap(const std::vector<std::uint8_t>& bytes)
{
    Bitmap bmp;
    bmp.byteCount = bytes.size();
    if (bytes.size() < 54) {
        bmp.error = "shorter than the two headers";
        return bmp;
    }
    if (bytes[0] != 'B' || bytes[1] != 'M') {
        bmp.error = "no BM signature";
        return bmp;
    }
    bmp.fileSizeField = le32(bytes, 2);
    bmp.dataOffset = le32(bytes, 10);
    bmp.infoSize = le32(bytes, 14);
    bmp.width = static_cast<std::int32_t>(le32(bytes, 18));
    bmp.height = static_cast<std::int32_t>(le32(bytes, 22));
    bmp.planes = le16(bytes, 26);
    bmp.bitsPerPixel = le16(bytes, 28);
    bmp.compression = le32(bytes, 30);
    bmp.imageSize = le32(bytes, 34);
    bmp.colourCount = le32(bytes, 46);
    if (bmp.bitsPerPixel != 24 || bmp.width <= 0 || bmp.height <= 0 || bmp.width > 4096 ||
        bmp.height > 4096) {
        bmp.error = "not a plain 24-bit image";
        return bmp;
    }
    const std::size_t stride = (static_cast<std::size_t>(bmp.width) * 3 + 3) & ~std::size_t{3};
    if (bmp.dataOffset + stride * bmp.height > bytes.size()) {
        bmp.error = "pixel rows run past the end of the file";
        return bmp;
    }
    bmp.pixels.resize(static_cast<std::size_t>(bmp.width) * bmp.height);
    for (int row = 0; row < bmp.height; ++row) {
        for (int x = 0; x < bmp.width; ++x) {
            const std::size_t at = bmp.dataOffset + row * stride + x * 3;
            bmp.pixels[static_cast<std::size_t>(row) * bmp.width + x] = {bytes[at + 2],
                                                                         bytes[at + 1], bytes[at]};
        }
    }
    return bmp;
}

std::vector<int> Wave::channel(int index) const
{
    std::vector<int> out;
    out.reserve(frames());
    for (std::size_t i = static_cast<std::size_t>(index); i < samples.size(); i += channels) {
        out.push_back(samples[i]);
    }
    return out;
}

Wave parseWave(const std::vector<std::uint8_t>& bytes)
{
    Wave wav;
    wav.byteCount = bytes.size();
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        wav.error = "not a RIFF/WAVE file";
        return wav;
    }
    wav.riffSize = le32(bytes, 4);
    bool haveFormat = false;
    bool haveData = false;
    // Walk the chunks; each occupies an even number of bytes.
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::uint32_t size = le32(bytes, at + 4);
        const std::size_t body = at + 8;
        if (body + size > bytes.size()) {
            wav.error = "a chunk runs past the end of the file";
            return wav;
        }
        if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0 && size >= 16) {
            haveFormat = true;
            wav.formatSize = size;
            wav.formatTag = le16(bytes, body);
            wav.channels = le16(bytes, body + 2);
            wav.sampleRate = le32(bytes, body + 4);
            wav.byteRate = le32(bytes, body + 8);
            wav.blockAlign = le16(bytes, body + 12);
            wav.bitsPerSample = le16(bytes, body + 14);
        } else if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
            haveData = true;
            wav.dataSize = size;
            wav.samples.resize(size / 2);
            const std::uint8_t* p = bytes.data() + body;
            for (std::size_t i = 0; i < wav.samples.size(); ++i) {
                wav.samples[i] = static_cast<std::int16_t>(p[2 * i] | p[2 * i + 1] << 8);
            }
        }
        at = body + size + (size & 1);
    }
    if (!haveFormat || !haveData) {
        wav.error = "no fmt or no data chunk";
    }
    return wav;
}
