#include "fake_sound_device.h"

#include <algorithm>

FakeBuffer::FakeBuffer(FakeDevice* owner, int bufferIndex, std::uint32_t flags, std::uint32_t bytes,
                       std::vector<std::uint8_t>* block)
    : device(owner), index(bufferIndex), creationFlags(flags), size(bytes), data(block)
{
}

HResult FakeBuffer::setFormat(const WaveFormatEx& format)
{
    device->log.push_back({index, "setFormat", format.channels});
    device->primaryFormat = format;
    return device->setFormatResult;
}

HResult FakeBuffer::play(std::uint32_t, std::uint32_t, std::uint32_t flags)
{
    device->log.push_back({index, "play", flags});
    if ((status & dsbStatusBufferLost) != 0) return dsErrBufferLost;
    // Without an output a source goes straight to stopped.
    if (playStartsPlaying && device->connected) status |= dsbStatusPlaying;
    return sOk;
}

HResult FakeBuffer::getStatus(std::uint32_t* result)
{
    *result = status;
    return sOk;
}

HResult FakeBuffer::setVolume(std::int32_t v)
{
    device->log.push_back({index, "setVolume", v});
    volume = v;
    return sOk;
}

HResult FakeBuffer::setFrequency(std::uint32_t frequency)
{
    device->log.push_back({index, "setFrequency", frequency});
    return sOk;
}

HResult FakeBuffer::setPan(std::int32_t pan)
{
    device->log.push_back({index, "setPan", pan});
    return sOk;
}

HResult FakeBuffer::lock(std::uint32_t offset, std::uint32_t bytes, void** region1, std::uint32_t* bytes1,
                         void** region2, std::uint32_t* bytes2, std::uint32_t)
{
    device->log.push_back({index, "lock", bytes});
    if (data == nullptr || offset != 0 || bytes > size) return dsErrInvalidParam;
    locked = true;
    *region1 = data->data();
    *bytes1 = bytes;
    if (region2 != nullptr) *region2 = nullptr;
    if (bytes2 != nullptr) *bytes2 = 0;
    return sOk;
}

HResult FakeBuffer::unlock(void* region1, std::uint32_t bytes1, void*, std::uint32_t)
{
    device->log.push_back({index, "unlock", bytes1});
    if (!locked || region1 != data->data()) return dsErrInvalidParam;
    locked = false;
    return sOk;
}

HResult FakeBuffer::restore()
{
    device->log.push_back({index, "restore", 0});
    if (device->outputLost) return dsErrNoDriver;
    if (restoresUntilFound > 0) {
        --restoresUntilFound;
        return dsErrBufferLost;
    }
    if (restoreFailure == sOk) status &= ~dsbStatusBufferLost;
    return restoreFailure;
}

void FakeBuffer::release()
{
    device->log.push_back({index, "release", 0});
    released = true;
}

FakeDevice::~FakeDevice()
{
    for (FakeBuffer* b : buffers) delete b;
    for (auto* block : blocks) delete block;
}

HResult FakeDevice::setCooperativeLevel(WindowHandle, std::uint32_t level)
{
    log.push_back({-1, "setCooperativeLevel", level});
    cooperativeLevel = level;
    return sOk;
}

HResult FakeDevice::createSoundBuffer(const SoundBufferDesc& desc, SoundBuffer** buffer)
{
    const int index = static_cast<int>(buffers.size());
    if ((desc.flags & dsbCapsPrimaryBuffer) != 0) {
        log.push_back({-1, "createPrimary", 0});
        buffers.push_back(new FakeBuffer(this, index, desc.flags, 0, nullptr));
        *buffer = buffers.back();
        return sOk;
    }
    log.push_back({-1, "createSoundBuffer", desc.bufferBytes});
    lastDesc = desc;
    if (desc.format != nullptr) lastFormat = *desc.format;
    if (failCreateAfter == 0) return eOutOfMemory;
    if (failCreateAfter > 0) --failCreateAfter;
    if (failed(createResult)) return createResult;
    // Fresh device memory is not silence: the sound must fill all of it.
    blocks.push_back(new std::vector<std::uint8_t>(desc.bufferBytes, 0x5A));
    buffers.push_back(new FakeBuffer(this, index, desc.flags, desc.bufferBytes, blocks.back()));
    *buffer = buffers.back();
    return createResult;
}

HResult FakeDevice::duplicateSoundBuffer(SoundBuffer* original, SoundBuffer** duplicate)
{
    log.push_back({-1, "duplicateSoundBuffer", 0});
    if (failDuplicateAfter == 0) return eOutOfMemory;
    if (failDuplicateAfter > 0) --failDuplicateAfter;
    auto* from = static_cast<FakeBuffer*>(original);
    const int index = static_cast<int>(buffers.size());
    buffers.push_back(new FakeBuffer(this, index, from->creationFlags, from->size, from->data));
    *duplicate = buffers.back();
    return sOk;
}

void FakeDevice::release()
{
    log.push_back({-1, "releaseDevice", 0});
    releasedDevice = true;
}

HResult FakeDevice::setMasterVolume(std::int32_t volume)
{
    log.push_back({-1, "masterVolume", volume});
    masterVolume = volume;
    return sOk;
}

HResult FakeDevice::setMuted(bool mute)
{
    log.push_back({-1, mute ? "mute" : "unmute", 0});
    muted = mute;
    return sOk;
}

void FakeDevice::disconnect()
{
    connected = false;
    for (FakeBuffer* b : buffers) b->status &= ~(dsbStatusPlaying | dsbStatusLooping);
}

HResult FakeDevice::checkOutput()
{
    log.push_back({-1, "checkOutput", 0});
    if (connected) return sOk;
    // Gone: every buffer is lost with the old output, whether or not a new
    // one opens, and its memory with it.
    for (FakeBuffer* b : buffers) {
        if (!b->released) b->status = dsbStatusBufferLost;
    }
    for (auto* block : blocks) std::fill(block->begin(), block->end(), std::uint8_t{0x5A});
    outputLost = !outputAvailable;
    if (outputLost) return dsErrNoDriver;
    connected = true;
    return sFalse;
}

std::vector<std::string> FakeDevice::callsOn(int buffer) const
{
    std::vector<std::string> names;
    for (const FakeCall& c : log) {
        if (c.buffer == buffer) names.push_back(c.name);
    }
    return names;
}

int FakeDevice::countCalls(const std::string& name) const
{
    int n = 0;
    for (const FakeCall& c : log) n += c.name == name ? 1 : 0;
    return n;
}

namespace {

FakeDevice* installedDevice = nullptr;
HResult installedFailure = sOk;

HResult handOutFake(SoundDevice** device)
{
    if (failed(installedFailure)) return installedFailure;
    installedDevice->log.push_back({-1, "create", 0});
    *device = installedDevice;
    return sOk;
}

}  // namespace

void installFakeDevice(FakeDevice* device, HResult failure)
{
    installedDevice = device;
    installedFailure = failure;
    setSoundDeviceCreator(handOutFake);
}
