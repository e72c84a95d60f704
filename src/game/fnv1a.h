#pragma once

#include <cstddef>
#include <cstdint>

// FNV-1a, 64 bits: the state checksum and the data files' checksum.
constexpr std::uint64_t fnv1aStart = 0xCBF29CE484222325u;

inline void fnv1aMix(std::uint64_t& hash, const unsigned char* bytes, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        hash = (hash ^ bytes[i]) * 0x100000001B3u;
    }
}
