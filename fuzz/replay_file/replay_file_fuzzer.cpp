// Opens arbitrary bytes as a replay. A refused one must say why and give no
// frame. An accepted one must give exactly the frames its trailer counts,
// with a state checksum after every 60th; written again by the encoder it
// must take no more bytes and read back frame for frame the same. Each input
// is opened twice: as it is, and with its end mark and CRC-32 made right, so
// that mutations reach past the CRC into the frames.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "store/replay_file.h"

namespace {

void check(const std::string& bytes)
{
    const std::size_t size = bytes.size();
    ReplayReader reader;
    ReplayFrame frame;
    if (reader.openBytes(bytes) != ReplayRefusal::none) {
        if (reader.error().empty() || reader.nextFrame(frame)) std::abort();
        return;
    }
    ReplayEncoder encoder(reader.header());
    std::uint32_t frames = 0;
    while (reader.nextFrame(frame)) {
        ++frames;
        if (frame.soundAnswers.size() > maxSoundAnswersPerFrame) std::abort();
        encoder.addFrame(frame.inputs, frame.soundAnswers);
        const auto checksum = reader.checksumAfterFrame();
        if (checksum.has_value() != (frames % replayChecksumInterval == 0) ||
            encoder.checksumDue() != checksum.has_value()) {
            std::abort();
        }
        if (checksum) encoder.addStateChecksum(*checksum);
    }
    const ReplayTrailer& trailer = reader.trailer();
    if (frames != trailer.frameCount) std::abort();
    if (!encoder.finish(trailer.finalScore, trailer.finalStateChecksum).empty()) std::abort();
    if (encoder.bytes().size() > size) std::abort();

    ReplayReader again;
    if (again.openBytes(encoder.bytes(), {reader.header().gameVersion, reader.header().dataChecksum}) !=
            ReplayRefusal::none ||
        again.trailer() != trailer) {
        std::abort();
    }
    reader.rewind();
    ReplayFrame other;
    while (reader.nextFrame(frame)) {
        if (!again.nextFrame(other) || other != frame || again.checksumAfterFrame() != reader.checksumAfterFrame()) {
            std::abort();
        }
    }
    if (again.nextFrame(other)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    check(bytes);
    // The trailer ends with the CRC-32 of all before it and the end mark.
    if (size >= 8) {
        const std::size_t crcAt = size - 8;
        const auto crc = static_cast<std::uint32_t>(crc32(0, data, static_cast<uInt>(crcAt)));
        for (std::size_t i = 0; i < 4; ++i) bytes[crcAt + i] = static_cast<char>((crc >> (8 * i)) & 0xff);
        bytes.replace(size - 4, 4, "GFEN");
        check(bytes);
    }
    return 0;
}
