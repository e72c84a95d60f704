#pragma once

#include <cstdint>
#include <memory>

#include "audio/hresult.h"

class SoundBuffer;  // one playable buffer of the sound device (audio/sound_device.h)
class WavReader;    // the open sound file (audio/wav_reader.h)

// A WAV file held in one or more device buffers that can be played, queried,
// restored and refilled. Entry 0 is filled from the file; the others share its
// data. The sound keeps its file open so that a lost buffer can be refilled.
class Sound {
public:
    // Takes a copy of the `count` buffer pointers and ownership of the
    // buffers and the reader. If its own array cannot be allocated, `buffers`
    // stays null (the buffers are then still the caller's to release).
    Sound(SoundBuffer* const* bufferList, std::uint32_t count, std::uint32_t bytes,
          WavReader* wavReader, std::uint32_t flags);
    // Releases every buffer, and closes and deletes the reader.
    virtual ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // Plays a free buffer (or, when all play, one chosen by gameRand).
    // frequency −1 leaves the rate unchanged. Returns the buffer's Play result.
    HResult play(std::uint32_t priority, std::uint32_t flags, std::int32_t volume,
                 std::int32_t frequency, std::int32_t pan);

    // True if any buffer is playing.
    bool isPlaying();

    // Buffer `index`, or null when there is none.
    SoundBuffer* getBuffer(std::uint32_t index) const;
    // The first buffer that is not playing; when every one plays, one picked
    // with gameRand. Null only when there are no buffers.
    SoundBuffer* getFreeBuffer();
    // Gives a lost buffer its memory back, retrying while the device keeps
    // reporting it lost (at most maxRestoreAttempts rounds of 10 ms); sFalse
    // when it was not lost. *wasRestored (optional) tells if it was restored.
    HResult restoreBuffer(SoundBuffer* buffer, bool* wasRestored);
    // Copies the whole sound into `buffer`, padding a short read with silence.
    HResult fillBuffer(SoundBuffer* buffer);

    static constexpr std::uint32_t maxRestoreAttempts = 100;

    std::unique_ptr<SoundBuffer*[]> buffers;  // bufferCount entries
    std::uint32_t bufferBytes = 0;            // size of each buffer: the data chunk size
    std::unique_ptr<WavReader> reader;        // kept open for refilling
    std::uint32_t bufferCount = 0;
    std::uint32_t creationFlags = 0;          // the flags the buffers were made with
};

constexpr std::uint32_t dsbPlayLooping = 1;

// Waits between restore attempts; tests replace it to count the waits.
extern void (*soundSleep)(std::uint32_t milliseconds);
