#pragma once

#include <cstdint>
#include <vector>

// The bytes of a 16-bit PCM RIFF/WAVE file. Samples are interleaved when
// there is more than one channel.
std::vector<std::uint8_t> encodeWav(const std::vector<std::int16_t>& samples, int channels,
                                    int sampleRate);
