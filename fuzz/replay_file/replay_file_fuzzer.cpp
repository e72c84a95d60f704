// Opens arbitrary bytes as a replay. A refused one must say why and give no
// frame. An accepted one must give exactly the frames its trailer counts,
// with a state checksum after every 60th; written again by the encoder it
// must take no more bytes and read back frame for frame the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "store/replay_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ReplayReader reader;
    ReplayFrame frame;
    if (reader.openBytes(std::string(reinterpret_cast<const char*>(data), size)) != ReplayRefusal::none) {
        if (reader.error().empty() || reader.nextFrame(frame)) std::abort();
        return 0;
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
    return 0;
}
