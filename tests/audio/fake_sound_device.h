#pragma once

// A sound device for the tests: buffers keep their data in memory, record
// every call in one shared log, and take their status and results from
// fields the test sets.

#include <cstdint>
#include <string>
#include <vector>

#include "audio/sound_device.h"

struct FakeCall {
    int buffer;        // index of the buffer in FakeDevice::buffers, -1 for the device
    std::string name;  // "play", "setVolume", ...
    std::int64_t value = 0;  // volume, frequency, pan, play flags, lock size
};

class FakeDevice;

class FakeBuffer final : public SoundBuffer {
public:
    FakeBuffer(FakeDevice* owner, int index, std::uint32_t flags, std::uint32_t bytes,
               std::vector<std::uint8_t>* data);

    HResult setFormat(const WaveFormatEx& format) override;
    HResult play(std::uint32_t reserved, std::uint32_t priority, std::uint32_t flags) override;
    HResult getStatus(std::uint32_t* status) override;
    HResult setVolume(std::int32_t volume) override;
    HResult setFrequency(std::uint32_t frequency) override;
    HResult setPan(std::int32_t pan) override;
    HResult lock(std::uint32_t offset, std::uint32_t bytes, void** region1, std::uint32_t* bytes1,
                 void** region2, std::uint32_t* bytes2, std::uint32_t flags) override;
    HResult unlock(void* region1, std::uint32_t bytes1, void* region2, std::uint32_t bytes2) override;
    HResult restore() override;
    void release() override;

    FakeDevice* device;
    int index;
    std::uint32_t creationFlags;
    std::uint32_t size;
    std::vector<std::uint8_t>* data;  // shared with duplicates
    std::uint32_t status = 0;         // what getStatus reports
    bool playStartsPlaying = true;    // play sets dsbStatusPlaying
    int restoresUntilFound = 0;       // restore reports dsErrBufferLost this many times
    HResult restoreFailure = sOk;    // what restore reports once found
    bool released = false;
    std::int32_t volume = 0;
    bool locked = false;
};

class FakeDevice final : public SoundDevice {
public:
    ~FakeDevice() override;

    HResult setCooperativeLevel(WindowHandle window, std::uint32_t level) override;
    HResult createSoundBuffer(const SoundBufferDesc& desc, SoundBuffer** buffer) override;
    HResult duplicateSoundBuffer(SoundBuffer* original, SoundBuffer** duplicate) override;
    void release() override;
    HResult setMuted(bool mute) override;
    HResult setMasterVolume(std::int32_t volume) override;
    HResult checkOutput() override;

    // The output goes away as an unplugged headset does: every buffer stops.
    void disconnect();

    // Names of the logged calls on one buffer (or -1 for the device), in order.
    std::vector<std::string> callsOn(int buffer) const;
    int countCalls(const std::string& name) const;

    std::vector<FakeCall> log;
    std::vector<FakeBuffer*> buffers;               // every buffer ever made, by index
    std::vector<std::vector<std::uint8_t>*> blocks;  // data blocks (freed with the device)
    std::uint32_t cooperativeLevel = 0;
    WaveFormatEx primaryFormat;
    SoundBufferDesc lastDesc;
    WaveFormatEx lastFormat;
    HResult setFormatResult = sOk;
    HResult createResult = sOk;          // result of creating a secondary buffer
    int failCreateAfter = -1;             // secondary creations that succeed before failing
    int failDuplicateAfter = -1;          // duplications that succeed before failing
    bool releasedDevice = false;
    bool muted = false;
    std::int32_t masterVolume = 0;
    bool connected = true;           // what checkOutput finds
    bool outputAvailable = true;     // whether checkOutput can open the output again
    bool outputLost = false;         // lost and not opened again: restore fails
};

// Installs a device creator that hands out `device` (which stays owned by
// the test) or fails with `failure` when it is not sOk.
void installFakeDevice(FakeDevice* device, HResult failure = sOk);
