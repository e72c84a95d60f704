#include "audio/sound_manager.h"

#include <memory>
#include <new>

#include "audio/openal_device.h"
#include "audio/wav_reader.h"

SoundManager soundManager;

namespace {

SoundDeviceCreator deviceCreator = createOpenAlDevice;

}  // namespace

HRESULT createSoundDevice(SoundDevice** device) { return deviceCreator(device); }

void setSoundDeviceCreator(SoundDeviceCreator creator)
{
    deviceCreator = creator != nullptr ? creator : createOpenAlDevice;
}

bool isPlayableFormat(const WaveFormatEx& format)
{
    return format.formatTag == WAVE_FORMAT_PCM &&
           (format.bitsPerSample == 8 || format.bitsPerSample == 16) &&
           (format.channels == 1 || format.channels == 2) && format.samplesPerSec != 0 &&
           format.blockAlign != 0;
}

HRESULT SoundManager::initialize(WindowHandle window, std::uint32_t level)
{
    if (directSound != nullptr) {
        directSound->release();
        directSound = nullptr;
    }
    HRESULT hr = createSoundDevice(&directSound);
    if (failed(hr)) {
        directSound = nullptr;
        return hr;
    }
    hr = directSound->setCooperativeLevel(window, level);
    if (failed(hr)) return hr;
    return S_OK;
}

HRESULT SoundManager::setPrimaryFormat(std::uint32_t channels, std::uint32_t samplesPerSec,
                                       std::uint32_t bitsPerSample)
{
    if (directSound == nullptr) return CO_E_NOTINITIALIZED;

    SoundBufferDesc desc;
    desc.flags = DSBCAPS_PRIMARYBUFFER;
    SoundBuffer* primary = nullptr;
    HRESULT hr = directSound->createSoundBuffer(desc, &primary);
    if (failed(hr)) return hr;

    WaveFormatEx format;
    format.formatTag = WAVE_FORMAT_PCM;
    format.channels = static_cast<std::uint16_t>(channels);
    format.samplesPerSec = samplesPerSec;
    format.bitsPerSample = static_cast<std::uint16_t>(bitsPerSample);
    format.blockAlign = static_cast<std::uint16_t>(bitsPerSample / 8 * channels);
    format.avgBytesPerSec = static_cast<std::uint32_t>(format.blockAlign) * samplesPerSec;
    format.extraSize = 0;

    hr = primary->setFormat(format);
    primary->release();
    if (failed(hr)) return hr;
    return S_OK;
}

HRESULT SoundManager::createSound(Sound** sound, const char* fileName, std::uint32_t flags,
                                  Guid algorithm3d, std::uint32_t bufferCount)
{
    if (directSound == nullptr) return CO_E_NOTINITIALIZED;
    if (fileName == nullptr || sound == nullptr || bufferCount < 1) return E_INVALIDARG;

    std::unique_ptr<SoundBuffer*[]> made(new (std::nothrow) SoundBuffer*[bufferCount]());
    std::unique_ptr<WavReader> reader(new (std::nothrow) WavReader);
    if (!made || !reader) return E_OUTOFMEMORY;

    // Releases what was made so far when a later step fails.
    auto releaseMade = [&made, bufferCount] {
        for (std::uint32_t i = 0; i < bufferCount; ++i) {
            if (made[i] != nullptr) made[i]->release();
            made[i] = nullptr;
        }
    };

    reader->open(fileName);
    if (reader->dataSize == 0) return E_FAIL;
    if (reader->format == nullptr || !isPlayableFormat(*reader->format)) return DSERR_BADFORMAT;

    SoundBufferDesc desc;
    desc.flags = flags;
    desc.bufferBytes = reader->dataSize;
    desc.format = reader->format;
    desc.algorithm3d = algorithm3d;

    HRESULT result = S_OK;
    HRESULT hr = directSound->createSoundBuffer(desc, &made[0]);
    if (hr == DS_NO_VIRTUALIZATION) {
        result = DS_NO_VIRTUALIZATION;
    } else if (failed(hr)) {
        made[0] = nullptr;
        return hr;
    }
    if (made[0] == nullptr) return E_FAIL;

    for (std::uint32_t i = 1; i < bufferCount; ++i) {
        if ((flags & DSBCAPS_CTRLFX) != 0) {
            hr = directSound->createSoundBuffer(desc, &made[i]);
        } else {
            hr = directSound->duplicateSoundBuffer(made[0], &made[i]);
        }
        if (failed(hr) || made[i] == nullptr) {
            made[i] = nullptr;
            releaseMade();
            return failed(hr) ? hr : E_FAIL;
        }
    }

    auto* created = new (std::nothrow) Sound(made.get(), bufferCount, reader->dataSize,
                                             reader.get(), flags);
    if (created == nullptr) {
        releaseMade();
        return E_OUTOFMEMORY;
    }
    reader.release();  // the sound owns it now
    if (!created->buffers) {
        releaseMade();
        delete created;
        return E_OUTOFMEMORY;
    }
    *sound = created;
    return result;
}
