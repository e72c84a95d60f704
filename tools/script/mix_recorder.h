#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "audio/openal_device.h"

// The game's sound in game time. The runner plays through OpenAL Soft's
// loopback output, which mixes only when asked: after every frame the
// recorder takes exactly 1/60 s of it (735 sample frames at 44 100 Hz), so a
// sound plays for as many frames as it would at 60 frames a second, however
// fast or slow the runner goes. The mix is always taken (a chime's end frees
// its buffer for the next one); it is written only when a file was given.
//
// The file: RIFF/WAVE, PCM, 16-bit signed, stereo, 44 100 Hz. Each float of
// the mix becomes round(v × 32768), clamped to −32768…32767, so 0 dBFS is
// full scale ±1.0 of the mixer. The output's limiter holds the mix within
// that (it looks 1 ms ahead, so everything sounds 44 samples late).
class MixRecorder {
public:
    static constexpr std::uint32_t framesPerGameFrame = loopbackRate / 60;
    static constexpr std::uint32_t samplesPerGameFrame = framesPerGameFrame * loopbackChannels;

    MixRecorder() = default;
    ~MixRecorder();
    MixRecorder(const MixRecorder&) = delete;
    MixRecorder& operator=(const MixRecorder&) = delete;

    // Creates the file and writes its header. False (with the reason) when
    // it cannot be created.
    bool open(const std::string& path, std::string& error);
    // Takes the next 1/60 s of the mix, and writes it when a file is open.
    void renderFrame();
    // Writes the final sizes and closes the file. False (with the reason)
    // when anything could not be written. True when no file was open.
    bool finish(std::string& error);

    // The last frame's samples, interleaved left/right.
    const std::int16_t* lastFrame() const { return pcm_; }
    std::int64_t framesRendered() const { return rendered_; }
    // True once writing the file failed; the text says which file.
    bool writeFailed() const { return writeFailed_; }
    std::string failureText() const { return "cannot write " + path_; }

private:
    float mix_[samplesPerGameFrame] = {};
    std::int16_t pcm_[samplesPerGameFrame] = {};
    std::FILE* file_ = nullptr;
    std::string path_;
    std::uint64_t dataBytes_ = 0;
    std::int64_t rendered_ = 0;
    bool writeFailed_ = false;
    bool full_ = false;
};
