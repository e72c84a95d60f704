#include "wav_writer.h"

#include "little_endian.h"

namespace {

void putTag(std::vector<std::uint8_t>& out, const char* tag)
{
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(tag[i]));
    }
}

}  // namespace

std::vector<std::uint8_t> encodeWav(const std::vector<std::int16_t>& samples, int channels,
                                    int sampleRate)
{
    const std::uint32_t blockAlign = static_cast<std::uint32_t>(channels) * 2;
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size()) * 2;

    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes);
    putTag(out, "RIFF");
    put32(out, 4 + (8 + 16) + (8 + dataBytes));
    putTag(out, "WAVE");

    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, static_cast<std::uint32_t>(channels));
    put32(out, static_cast<std::uint32_t>(sampleRate));
    put32(out, static_cast<std::uint32_t>(sampleRate) * blockAlign);
    put16(out, blockAlign);
    put16(out, 16);

    putTag(out, "data");
    put32(out, dataBytes);
    for (std::int16_t s : samples) {
        put16(out, static_cast<std::uint16_t>(s));
    }
    return out;
}
