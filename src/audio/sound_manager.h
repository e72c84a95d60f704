#pragma once

#include <cstdint>

#include "audio/hresult.h"
#include "audio/sound.h"
#include "audio/sound_device.h"

// Owns the sound device and makes the game's sounds from WAV files.
class SoundManager {
public:
    // Opens the device (dropping one opened before) at the given cooperative level.
    HResult initialize(WindowHandle window, std::uint32_t level);
    // Sets the format the device mixes into.
    HResult setPrimaryFormat(std::uint32_t channels, std::uint32_t samplesPerSec,
                             std::uint32_t bitsPerSample);
    // Loads a WAV file into `bufferCount` buffers made with `flags` (entry 0
    // holds the data, the others share it) and stores the new sound in *sound.
    // A missing or unreadable file, or a format the device cannot play,
    // fails and leaves *sound as it was.
    HResult createSound(Sound** sound, const char* fileName, std::uint32_t flags,
                        Guid algorithm3d, std::uint32_t bufferCount);

    SoundDevice* directSound = nullptr;  // null until initialize succeeds
};

// True for the sample formats the sounds play: 8- or 16-bit PCM, mono or
// stereo, with a non-zero rate and block align.
bool isPlayableFormat(const WaveFormatEx& format);
