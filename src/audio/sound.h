#pragma once

#include <cstdint>
#include <memory>

#include "audio/hresult.h"

class SoundBuffer;  // one playable buffer of the sound device (audio/sound_device.h)
class WavReader;    // the open sound file (audio/wav_reader.h)

// Where a sound's answers that decide the game come from: the statuses that
// isPlaying and getFreeBuffer read. The device's own by default; a replay
// keeps them as the game was played and gives them back when it is played
// again, so that the game decides as it did whatever the device does now.
class SoundAnswers {
public:
    SoundAnswers() = default;
    virtual ~SoundAnswers() = default;
    SoundAnswers(const SoundAnswers&) = delete;
    SoundAnswers& operator=(const SoundAnswers&) = delete;
    // The status to go by for one buffer, given what the device said.
    virtual std::uint32_t status(std::uint32_t fromDevice) = 0;
};

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

    // A buffer's status as the game goes by it (the device's, or answers').
    std::uint32_t statusOf(SoundBuffer* buffer);

    std::unique_ptr<SoundBuffer*[]> buffers;  // bufferCount entries
    std::uint32_t bufferBytes = 0;            // size of each buffer: the data chunk size
    std::unique_ptr<WavReader> reader;        // kept open for refilling
    std::uint32_t bufferCount = 0;
    std::uint32_t creationFlags = 0;          // the flags the buffers were made with
    SoundAnswers* answers = nullptr;          // null: the device's answers as they are
};

constexpr std::uint32_t dsbPlayLooping = 1;

// Waits between restore attempts; tests replace it to count the waits.
extern void (*soundSleep)(std::uint32_t milliseconds);
