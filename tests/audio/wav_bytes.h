#pragma once

// Builds small RIFF/WAVE images byte by byte for the sound tests.

#include <cstdint>
#include <string>
#include <vector>

#include "audio/riff_reader.h"

// A chunk id as the reader holds it, from its four characters.
constexpr std::uint32_t idOf(const char* s) { return makeFourCc(s[0], s[1], s[2], s[3]); }

class RiffBytes {
public:
    RiffBytes& u8(std::uint8_t v)
    {
        bytes.push_back(v);
        return *this;
    }
    RiffBytes& u16(std::uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
    RiffBytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    RiffBytes& id(const char* fourCc)
    {
        for (int i = 0; i < 4; ++i) u8(static_cast<std::uint8_t>(fourCc[i]));
        return *this;
    }
    RiffBytes& raw(const std::vector<std::uint8_t>& data)
    {
        bytes.insert(bytes.end(), data.begin(), data.end());
        return *this;
    }
    // A whole chunk: header with the true size, data, pad byte when odd.
    RiffBytes& chunk(const char* fourCc, const std::vector<std::uint8_t>& data)
    {
        id(fourCc).u32(static_cast<std::uint32_t>(data.size())).raw(data);
        if (data.size() % 2 != 0) u8(0xEE);
        return *this;
    }
    // A chunk header claiming `size` bytes, followed by whatever comes next.
    RiffBytes& header(const char* fourCc, std::uint32_t size) { return id(fourCc).u32(size); }

    std::vector<std::uint8_t> bytes;
};

// The 16 bytes of a format record (format tag through bits per sample).
inline std::vector<std::uint8_t> formatBytes(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                                             std::uint16_t bits)
{
    const std::uint16_t align = static_cast<std::uint16_t>(channels * (bits / 8));
    RiffBytes b;
    b.u16(tag).u16(channels).u32(rate).u32(rate * align).u16(align).u16(bits);
    return b.bytes;
}

// Data bytes counting up from `first`, so any byte tells where it came from.
inline std::vector<std::uint8_t> rampBytes(std::size_t count, std::uint8_t first = 1)
{
    std::vector<std::uint8_t> data(count);
    for (std::size_t i = 0; i < count; ++i) data[i] = static_cast<std::uint8_t>(first + i);
    return data;
}

// "RIFF" <size> "WAVE" followed by the given sub-chunk bytes.
inline std::vector<std::uint8_t> riffWave(const std::vector<std::uint8_t>& body)
{
    RiffBytes b;
    b.header("RIFF", static_cast<std::uint32_t>(body.size() + 4)).id("WAVE").raw(body);
    return b.bytes;
}

// A plain PCM file: a 16-byte "fmt " chunk and a "data" chunk.
inline std::vector<std::uint8_t> pcmWave(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                                         const std::vector<std::uint8_t>& data)
{
    RiffBytes body;
    body.chunk("fmt ", formatBytes(1, channels, rate, bits)).chunk("data", data);
    return riffWave(body.bytes);
}

// Writes bytes to a file under the test's temporary folder; returns its path.
std::string writeTempFile(const std::string& name, const std::vector<std::uint8_t>& bytes);
