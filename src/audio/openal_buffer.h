#pragma once

// The sound device's buffers on OpenAL: the primary buffer, which only
// checks the mixing format, and buffer entries, each playing one sound's
// samples on an AL source of its own; duplicates share the samples.

#include <cstdint>
#include <memory>

#include "audio/openal_device.h"
#include "audio/openal_output.h"

namespace openal {

constexpr HResult dsErrControlUnavail = static_cast<HResult>(0x8878001Eu);
constexpr std::uint32_t maxSharingSources = 64;

// The data of one sound: the AL buffer, the staging block handed out by lock,
// and the sources of every buffer entry that plays it. Where OpenAL can hand
// its samples back, the staging block lives only from a lock to its unlock,
// so a sound's samples are held once (OpenAL's copy); a lock takes them back
// from OpenAL first, so writing part of the buffer keeps the rest.
struct SharedSamples {
    ALuint name = 0;
    ALenum format = 0;
    std::uint32_t rate = 0;
    std::uint32_t frameBytes = 0;
    std::uint8_t silence = 0;
    std::unique_ptr<std::uint8_t[]> staging;  // null between unlock and the next lock
    std::uint32_t stagingBytes = 0;           // the buffer's size in bytes
    std::uint8_t tail[4] = {};                // bytes past the last whole frame (OpenAL has no room for them)
    bool uploaded = false;
    bool readable = false;  // OpenAL's copy can be mapped for reading
    ALuint sources[maxSharingSources] = {};
    std::uint32_t sourceCount = 0;
    std::uint32_t entryCount = 0;  // buffer entries that play these samples; the last one frees them
};

// A new source that plays unattenuated, centred on the listener.
bool makeSource(ALuint* source);

class OpenAlPrimaryBuffer final : public SoundBuffer {
public:
    explicit OpenAlPrimaryBuffer(AlOutput* out) : output(out) { output->addReference(); }

    // OpenAL Soft chooses its own output format; the requested one is only
    // checked for sense.
    HResult setFormat(const WaveFormatEx& format) override
    {
        if (format.formatTag != waveFormatPcm || format.channels == 0 || format.samplesPerSec == 0 ||
            (format.bitsPerSample != 8 && format.bitsPerSample != 16) || format.blockAlign == 0) {
            return dsErrBadFormat;
        }
        return sOk;
    }
    HResult play(std::uint32_t, std::uint32_t, std::uint32_t) override { return dsErrInvalidCall; }
    HResult getStatus(std::uint32_t* status) override
    {
        if (status == nullptr) return dsErrInvalidParam;
        *status = 0;
        return sOk;
    }
    HResult setVolume(std::int32_t) override { return dsErrControlUnavail; }
    HResult setFrequency(std::uint32_t) override { return dsErrControlUnavail; }
    HResult setPan(std::int32_t) override { return dsErrControlUnavail; }
    HResult lock(std::uint32_t, std::uint32_t, void**, std::uint32_t*, void**, std::uint32_t*,
                 std::uint32_t) override
    {
        return dsErrInvalidCall;
    }
    HResult unlock(void*, std::uint32_t, void*, std::uint32_t) override { return dsErrInvalidCall; }
    HResult restore() override { return sOk; }
    void release() override
    {
        AlOutput* out = output;
        delete this;
        out->releaseReference();
    }

private:
    AlOutput* output;
};

class OpenAlBuffer final : public SoundBuffer {
public:
    OpenAlBuffer(AlOutput* out, SharedSamples* data, ALuint sourceName, std::uint32_t capabilities)
        : output(out), samples(data), source(sourceName), flags(capabilities)
    {
        output->addReference();
        ++samples->entryCount;
        samples->sources[samples->sourceCount++] = source;
        nextEntry = output->entries;
        if (nextEntry != nullptr) nextEntry->previousEntry = this;
        output->entries = this;
    }

    HResult setFormat(const WaveFormatEx&) override { return dsErrInvalidCall; }
    HResult play(std::uint32_t, std::uint32_t, std::uint32_t playFlags) override;
    HResult getStatus(std::uint32_t* status) override;
    HResult setVolume(std::int32_t volume) override;
    HResult setFrequency(std::uint32_t frequency) override;
    HResult setPan(std::int32_t pan) override;
    HResult lock(std::uint32_t offset, std::uint32_t bytes, void** region1, std::uint32_t* bytes1,
                 void** region2, std::uint32_t* bytes2, std::uint32_t) override;
    HResult unlock(void* region1, std::uint32_t bytes1, void* region2, std::uint32_t bytes2) override;

    // A buffer is lost only with its output; once a new output is open its
    // memory is there again, silent until it is refilled.
    HResult restore() override;

    void release() override;

    // What OpenAL holds for this entry (inspectOpenAlBuffer).
    bool inspect(OpenAlSourceState* state) const;

    // The output went away: the buffer is lost until restored.
    void markLost() { lost = true; }

    // Before the output changes, with the old context current: remembers how
    // the source was set and deletes it. False on an AL error.
    bool letGoOfSource();
    // Then, once every source is gone: deletes the sound's AL buffer (the
    // first entry of a sound does it, the others find it gone) and forgets
    // its sources. False on an AL error.
    bool letGoOfSamples();

    // On the new output (its context current): a source set as the old one
    // was and, once per sound, an empty AL buffer for the refill.
    void takeNewOutput();

    AlOutput* output;
    SharedSamples* samples;
    ALuint source;
    std::uint32_t flags;
    OpenAlBuffer* nextEntry = nullptr;
    OpenAlBuffer* previousEntry = nullptr;

private:
    bool lost = false;
    float savedGain = 1.0f;
    float savedPitch = 1.0f;
    float savedPosition[3] = {};

    bool inStaging(const void* region, std::uint32_t bytes) const;

    // Makes the staging block again from OpenAL's copy of the samples (or
    // silence, before anything was uploaded).
    HResult takeBack();

    // Hands the staging block to OpenAL. A buffer attached to sources cannot
    // take new data, so every source sharing it lets go first and takes it
    // back afterwards (a sharing source that was playing stops).
    HResult upload();
};

}  // namespace openal
