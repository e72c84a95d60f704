#pragma once

#include <cstdint>

#include "audio/hresult.h"

class SoundBuffer;  // one playable buffer of the sound device (audio/sound_device.h)

// A WAV file held in one or more device buffers that can be played, queried,
// restored and refilled. Entry 0 is filled from the file; the others share its
// data. The public operations below are what the rest of the game uses.
class Sound {
public:
    virtual ~Sound();

    // Plays a free buffer (or, when all play, one chosen by gameRand).
    // frequency −1 leaves the rate unchanged. Returns the buffer's Play result.
    HRESULT play(std::uint32_t priority, std::uint32_t flags, std::int32_t volume,
                 std::int32_t frequency, std::int32_t pan);

    // True if any buffer is playing.
    bool isPlaying();

    // (The sound layer adds the buffer operations and members it needs.)
};

constexpr std::uint32_t DSBPLAY_LOOPING = 1;
