#pragma once

#include <cstdint>

#include "audio/hresult.h"
#include "audio/wav_reader.h"

// The sound device the game plays through: a device that makes buffers, and
// buffers that play. It offers just what the sound manager and the sounds
// use; the game's device is OpenAL Soft (openal_device.h) on Linux and
// DirectSound (directsound_device.h) on Windows, the tests use a fake. Objects are released with release(), never deleted directly.

using WindowHandle = void*;

// A 128-bit identifier, here only the 3D algorithm of a buffer (always null).
struct Guid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::uint8_t data4[8] = {};
};
constexpr Guid guidNull{};

constexpr std::uint32_t dsSclPriority = 2;

// Buffer creation flags.
constexpr std::uint32_t dsbCapsPrimaryBuffer = 0x1;
constexpr std::uint32_t dsbCapsCtrlFrequency = 0x20;
constexpr std::uint32_t dsbCapsCtrlPan = 0x40;
constexpr std::uint32_t dsbCapsCtrlVolume = 0x80;
constexpr std::uint32_t dsbCapsCtrlFx = 0x200;

// Buffer status bits.
constexpr std::uint32_t dsbStatusPlaying = 0x1;
constexpr std::uint32_t dsbStatusBufferLost = 0x2;
constexpr std::uint32_t dsbStatusLooping = 0x4;

// Volume in hundredths of a decibel: 0 is full, -10000 silent.
constexpr std::int32_t dsbVolumeMin = -10000;
constexpr std::int32_t dsbVolumeMax = 0;
constexpr std::int32_t dsbPanLeft = -10000;
constexpr std::int32_t dsbPanRight = 10000;
constexpr std::uint32_t dsbFrequencyOriginal = 0;
constexpr std::uint32_t dsbFrequencyMin = 100;
constexpr std::uint32_t dsbFrequencyMax = 200000;

// What a buffer is made from: its flags, its size and its format (no format
// for the primary buffer).
struct SoundBufferDesc {
    std::uint32_t size = 36;
    std::uint32_t flags = 0;
    std::uint32_t bufferBytes = 0;
    std::uint32_t reserved = 0;
    const WaveFormatEx* format = nullptr;
    Guid algorithm3d = guidNull;
};

class SoundBuffer {
public:
    // Sets the mixing format; only the primary buffer takes one.
    virtual HResult setFormat(const WaveFormatEx& format) = 0;
    // Starts playing (or, when already playing, just takes the new flags).
    virtual HResult play(std::uint32_t reserved, std::uint32_t priority, std::uint32_t flags) = 0;
    virtual HResult getStatus(std::uint32_t* status) = 0;
    virtual HResult setVolume(std::int32_t volume) = 0;
    virtual HResult setFrequency(std::uint32_t frequency) = 0;
    virtual HResult setPan(std::int32_t pan) = 0;
    // Hands out up to two regions of the buffer's memory to write; the data
    // counts once unlock has the same regions back.
    virtual HResult lock(std::uint32_t offset, std::uint32_t bytes, void** region1,
                         std::uint32_t* bytes1, void** region2, std::uint32_t* bytes2,
                         std::uint32_t flags) = 0;
    virtual HResult unlock(void* region1, std::uint32_t bytes1, void* region2,
                           std::uint32_t bytes2) = 0;
    // Gets the memory of a lost buffer back (its contents must be refilled).
    virtual HResult restore() = 0;
    virtual void release() = 0;

protected:
    virtual ~SoundBuffer() = default;
};

class SoundDevice {
public:
    virtual HResult setCooperativeLevel(WindowHandle window, std::uint32_t level) = 0;
    virtual HResult createSoundBuffer(const SoundBufferDesc& desc, SoundBuffer** buffer) = 0;
    // A new buffer that shares the original's data but plays on its own.
    virtual HResult duplicateSoundBuffer(SoundBuffer* original, SoundBuffer** duplicate) = 0;
    virtual void release() = 0;

    // Silences the whole output, or lets it be heard again. Mixing goes on
    // while it is muted: buffers play on, end and loop as they would, only
    // nothing is heard (as the platform does for buffers without global
    // focus while their window is inactive).
    virtual HResult setMuted(bool muted) = 0;
    // The volume of the whole output, in hundredths of a decibel like a
    // buffer's (0 full, dsbVolumeMin silent): the player's master volume.
    virtual HResult setMasterVolume(std::int32_t volume) = 0;
    // Asks whether the output is still there. When it has gone (a headset
    // unplugged, the sound server restarted) the device opens the default
    // output again, muted if it was muted, and every buffer is lost: its
    // status says so, playing it fails, and restore() gives its memory back,
    // to be refilled. sOk: the output plays on. sFalse: it was opened again.
    // dsErrNoDriver: no output could be opened; the buffers stay lost and
    // restore() fails with dsErrNoDriver until a later check opens one.
    virtual HResult checkOutput() = 0;

protected:
    virtual ~SoundDevice() = default;
};

// Makes the sound device. The game's is the platform's (OpenAL Soft on Linux,
// DirectSound on Windows: createSystemSoundDevice, in the platform's edge
// file); tests install their own.
HResult createSystemSoundDevice(SoundDevice** device);
using SoundDeviceCreator = HResult (*)(SoundDevice** device);
HResult createSoundDevice(SoundDevice** device);
// Replaces the creator used by createSoundDevice; null restores the default.
void setSoundDeviceCreator(SoundDeviceCreator creator);
