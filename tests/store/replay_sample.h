#pragma once

// Frames shaped like play: keys held for stretches, the steering axis moving
// in bursts, a controller that comes and goes, and the sound device's
// answers (the thrust loop and the chime most frames, a burst of thousands
// of buffer statuses now and then). Shared by the tests and the maker of the
// fuzzer's seed corpus.
#include <cstdint>
#include <string>
#include <vector>

#include "store/replay_file.h"

inline std::vector<ReplayFrame> playLikeFrames(std::uint32_t count, std::uint32_t seed)
{
    std::vector<ReplayFrame> frames;
    ReplayFrame f;
    std::uint32_t r = seed;
    auto next = [&r](std::uint32_t below) {
        r = r * 1664525u + 1013904223u;
        return (r >> 8) % below;
    };
    for (std::uint32_t i = 0; i < count; ++i) {
        if (next(20) == 0) f.inputs.keyForward = next(3) == 0 ? -1000.0f : next(2) * 1000.0f;
        if (next(15) == 0) f.inputs.keyTurn = static_cast<float>(static_cast<int>(next(3)) - 1) * 500.0f;
        if (next(40) == 0) f.inputs.keyButton = next(2) * 1000.0f;
        if (next(8) == 0) f.inputs.lX = static_cast<std::int32_t>(next(2001)) - 1000;
        if (next(30) == 0) f.inputs.button0 = next(2) != 0 ? 0xE8 : 0;
        if (next(90) == 0) f.inputs.button1 = next(2) != 0 ? 0x80 : 0;
        if (next(500) == 0) f.inputs.joystickUsable = 1 - f.inputs.joystickUsable;
        if (next(10) == 0) {
            f.soundAnswers.assign(next(4), soundAnswerPlaying);
            if (next(50) == 0) {
                for (std::uint32_t k = next(3000); k > 0; --k) {
                    f.soundAnswers.push_back(static_cast<std::uint8_t>(next(4)));
                }
            }
        }
        frames.push_back(f);
    }
    return frames;
}

// The state checksum the tests pretend the game had after `frame` frames.
inline std::uint64_t pretendChecksum(std::uint32_t frame)
{
    return 0x9E3779B97F4A7C15ull * (frame + 1);
}

// A whole replay of `frames` made by the encoder.
inline std::string encodeReplay(const ReplayHeader& header, const std::vector<ReplayFrame>& frames,
                                std::int32_t score = 777, std::uint64_t finalChecksum = 42)
{
    ReplayEncoder encoder(header);
    for (const ReplayFrame& f : frames) {
        encoder.addFrame(f.inputs, f.soundAnswers);
        if (encoder.checksumDue()) encoder.addStateChecksum(pretendChecksum(encoder.frameCount()));
    }
    const std::string error = encoder.finish(score, finalChecksum);
    return error.empty() ? encoder.bytes() : std::string();
}
