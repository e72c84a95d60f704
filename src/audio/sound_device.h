#pragma once

#include <cstdint>

#include "audio/hresult.h"
#include "audio/wav_reader.h"

// The sound device the game plays through: a device that makes buffers, and
// buffers that play. It offers just what the sound manager and the sounds
// use; the game's device is OpenAL Soft (openal_device.h), the tests use a
// fake. Objects are released with release(), never deleted directly.

using WindowHandle = void*;

// A 128-bit identifier, here only the 3D algorithm of a buffer (always null).
struct Guid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::uint8_t data4[8] = {};
};
constexpr Guid GUID_NULL{};

constexpr std::uint32_t DSSCL_PRIORITY = 2;

// Buffer creation flags.
constexpr std::uint32_t DSBCAPS_PRIMARYBUFFER = 0x1;
constexpr std::uint32_t DSBCAPS_CTRLFREQUENCY = 0x20;
constexpr std::uint32_t DSBCAPS_CTRLPAN = 0x40;
constexpr std::uint32_t DSBCAPS_CTRLVOLUME = 0x80;
constexpr std::uint32_t DSBCAPS_CTRLFX = 0x200;

// Buffer status bits.
constexpr std::uint32_t DSBSTATUS_PLAYING = 0x1;
constexpr std::uint32_t DSBSTATUS_BUFFERLOST = 0x2;
constexpr std::uint32_t DSBSTATUS_LOOPING = 0x4;

// Volume in hundredths of a decibel: 0 is full, -10000 silent.
constexpr std::int32_t DSBVOLUME_MIN = -10000;
constexpr std::int32_t DSBVOLUME_MAX = 0;
constexpr std::int32_t DSBPAN_LEFT = -10000;
constexpr std::int32_t DSBPAN_RIGHT = 10000;
constexpr std::uint32_t DSBFREQUENCY_ORIGINAL = 0;
constexpr std::uint32_t DSBFREQUENCY_MIN = 100;
constexpr std::uint32_t DSBFREQUENCY_MAX = 200000;

// What a buffer is made from: its flags, its size and its format (no format
// for the primary buffer).
struct SoundBufferDesc {
    std::uint32_t size = 36;
    std::uint32_t flags = 0;
    std::uint32_t bufferBytes = 0;
    std::uint32_t reserved = 0;
    const WaveFormatEx* format = nullptr;
    Guid algorithm3d = GUID_NULL;
};

class SoundBuffer {
public:
    // Sets the mixing format; only the primary buffer takes one.
    virtual HRESULT setFormat(const WaveFormatEx& format) = 0;
    // Starts playing (or, when already playing, just takes the new flags).
    virtual HRESULT play(std::uint32_t reserved, std::uint32_t priority, std::uint32_t flags) = 0;
    virtual HRESULT getStatus(std::uint32_t* status) = 0;
    virtual HRESULT setVolume(std::int32_t volume) = 0;
    virtual HRESULT setFrequency(std::uint32_t frequency) = 0;
    virtual HRESULT setPan(std::int32_t pan) = 0;
    // Hands out up to two regions of the buffer's memory to write; the data
    // counts once unlock has the same regions back.
    virtual HRESULT lock(std::uint32_t offset, std::uint32_t bytes, void** region1,
                         std::uint32_t* bytes1, void** region2, std::uint32_t* bytes2,
                         std::uint32_t flags) = 0;
    virtual HRESULT unlock(void* region1, std::uint32_t bytes1, void* region2,
                           std::uint32_t bytes2) = 0;
    // Gets the memory of a lost buffer back (its contents must be refilled).
    virtual HRESULT restore() = 0;
    virtual void release() = 0;

protected:
    virtual ~SoundBuffer() = default;
};

class SoundDevice {
public:
    virtual HRESULT setCooperativeLevel(WindowHandle window, std::uint32_t level) = 0;
    virtual HRESULT createSoundBuffer(const SoundBufferDesc& desc, SoundBuffer** buffer) = 0;
    // A new buffer that shares the original's data but plays on its own.
    virtual HRESULT duplicateSoundBuffer(SoundBuffer* original, SoundBuffer** duplicate) = 0;
    virtual void release() = 0;

    // Halts the whole output where it is, every buffer keeping its place, and
    // lets it go on again. Buffers can still be played, set and filled while
    // the output is paused; they are heard once it resumes.
    virtual HRESULT pause() = 0;
    virtual HRESULT resume() = 0;
    // Asks whether the output is still there. When it has gone (a headset
    // unplugged, the sound server restarted) the device opens the default
    // output again, paused if it was paused, and every buffer is lost: its
    // status says so, playing it fails, and restore() gives its memory back,
    // to be refilled. S_OK: the output plays on. S_FALSE: it was opened again.
    // DSERR_NODRIVER: no output could be opened; the buffers stay lost and
    // restore() fails with DSERR_NODRIVER until a later check opens one.
    virtual HRESULT checkOutput() = 0;

protected:
    virtual ~SoundDevice() = default;
};

// Makes the sound device. The game's is OpenAL Soft; tests install their own.
using SoundDeviceCreator = HRESULT (*)(SoundDevice** device);
HRESULT createSoundDevice(SoundDevice** device);
// Replaces the creator used by createSoundDevice; null restores the default.
void setSoundDeviceCreator(SoundDeviceCreator creator);
