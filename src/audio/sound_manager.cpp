#include "audio/sound_manager.h"

#include <memory>
#include <new>

#include "audio/wav_reader.h"

namespace {

SoundDeviceCreator deviceCreator = createSystemSoundDevice;

}  // namespace

HResult createSoundDevice(SoundDevice** device) { return deviceCreator(device); }

void setSoundDeviceCreator(SoundDeviceCreator creator)
{
    deviceCreator = creator != nullptr ? creator : createSystemSoundDevice;
}

bool isPlayableFormat(const WaveFormatEx& format)
{
    return format.formatTag == waveFormatPcm &&
           (format.bitsPerSample == 8 || format.bitsPerSample == 16) &&
           (format.channels == 1 || format.channels == 2) && format.samplesPerSec != 0 &&
           format.blockAlign != 0;
}

HResult SoundManager::initialize(WindowHandle window, std::uint32_t level)
{
    if (directSound != nullptr) {
        directSound->release();
        directSound = nullptr;
    }
    HResult hr = createSoundDevice(&directSound);
    if (failed(hr)) {
        directSound = nullptr;
        return hr;
    }
    hr = directSound->setCooperativeLevel(window, level);
    if (failed(hr)) return hr;
    return sOk;
}

HResult SoundManager::setPrimaryFormat(std::uint32_t channels, std::uint32_t samplesPerSec,
                                       std::uint32_t bitsPerSample)
{
    if (directSound == nullptr) return coENotInitialized;

    SoundBufferDesc desc;
    desc.flags = dsbCapsPrimaryBuffer;
    SoundBuffer* primary = nullptr;
    HResult hr = directSound->createSoundBuffer(desc, &primary);
    if (failed(hr)) return hr;

    WaveFormatEx format;
    format.formatTag = waveFormatPcm;
    format.channels = static_cast<std::uint16_t>(channels);
    format.samplesPerSec = samplesPerSec;
    format.bitsPerSample = static_cast<std::uint16_t>(bitsPerSample);
    format.blockAlign = static_cast<std::uint16_t>(bitsPerSample / 8 * channels);
    format.avgBytesPerSec = static_cast<std::uint32_t>(format.blockAlign) * samplesPerSec;
    format.extraSize = 0;

    hr = primary->setFormat(format);
    primary->release();
    if (failed(hr)) return hr;
    return sOk;
}

HResult SoundManager::createSound(Sound** sound, const char* fileName, std::uint32_t flags,
                                  Guid algorithm3d, std::uint32_t bufferCount)
{
    if (directSound == nullptr) return coENotInitialized;
    if (fileName == nullptr || sound == nullptr || bufferCount < 1) return eInvalidArg;

    std::unique_ptr<SoundBuffer*[]> made(new (std::nothrow) SoundBuffer*[bufferCount]());
    std::unique_ptr<WavReader> reader(new (std::nothrow) WavReader);
    if (!made || !reader) return eOutOfMemory;

    // Releases what was made so far when a later step fails.
    auto releaseMade = [&made, bufferCount] {
        for (std::uint32_t i = 0; i < bufferCount; ++i) {
            if (made[i] != nullptr) made[i]->release();
            made[i] = nullptr;
        }
    };

    reader->open(fileName);
    if (reader->dataSize == 0) return eFail;
    if (reader->format == nullptr || !isPlayableFormat(*reader->format)) return dsErrBadFormat;

    SoundBufferDesc desc;
    desc.flags = flags;
    desc.bufferBytes = reader->dataSize;
    desc.format = reader->format;
    desc.algorithm3d = algorithm3d;

    HResult result = sOk;
    HResult hr = directSound->createSoundBuffer(desc, &made[0]);
    if (hr == dsNoVirtualization) {
        result = dsNoVirtualization;
    } else if (failed(hr)) {
        made[0] = nullptr;
        return hr;
    }
    if (made[0] == nullptr) return eFail;

    for (std::uint32_t i = 1; i < bufferCount; ++i) {
        if ((flags & dsbCapsCtrlFx) != 0) {
            hr = directSound->createSoundBuffer(desc, &made[i]);
        } else {
            hr = directSound->duplicateSoundBuffer(made[0], &made[i]);
        }
        if (failed(hr) || made[i] == nullptr) {
            made[i] = nullptr;
            releaseMade();
            return failed(hr) ? hr : eFail;
        }
    }

    auto* created = new (std::nothrow) Sound(made.get(), bufferCount, reader->dataSize,
                                             reader.get(), flags);
    if (created == nullptr) {
        releaseMade();
        return eOutOfMemory;
    }
    reader.release();  // the sound owns it now
    if (!created->buffers) {
        releaseMade();
        delete created;
        return eOutOfMemory;
    }
    *sound = created;
    return result;
}
