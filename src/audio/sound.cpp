#include "audio/sound.h"

#include <chrono>
#include <cstring>
#include <new>
#include <thread>

#include "audio/sound_device.h"
#include "audio/wav_reader.h"
#include "math/game_random.h"

namespace {

void sleepMilliseconds(std::uint32_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace

void (*soundSleep)(std::uint32_t milliseconds) = sleepMilliseconds;

Sound::Sound(SoundBuffer* const* bufferList, std::uint32_t count, std::uint32_t bytes,
             WavReader* wavReader, std::uint32_t flags)
    : buffers(new (std::nothrow) SoundBuffer*[count > 0 ? count : 1]),
      bufferBytes(bytes),
      reader(wavReader),
      bufferCount(count),
      creationFlags(flags)
{
    if (!buffers) return;
    for (std::uint32_t i = 0; i < count; ++i) buffers[i] = bufferList != nullptr ? bufferList[i] : nullptr;
    fillBuffer(getBuffer(0));
}

Sound::~Sound()
{
    if (buffers) {
        for (std::uint32_t i = 0; i < bufferCount; ++i) {
            if (buffers[i] != nullptr) buffers[i]->release();
            buffers[i] = nullptr;
        }
        buffers.reset();
    }
    if (reader) {
        reader->close();
        reader.reset();
    }
}

SoundBuffer* Sound::getBuffer(std::uint32_t index) const
{
    if (!buffers || index >= bufferCount) return nullptr;
    return buffers[index];
}

SoundBuffer* Sound::getFreeBuffer()
{
    if (!buffers || bufferCount == 0) return nullptr;
    for (std::uint32_t i = 0; i < bufferCount; ++i) {
        if (buffers[i] == nullptr) continue;
        std::uint32_t status = 0;
        buffers[i]->getStatus(&status);
        if ((status & DSBSTATUS_PLAYING) == 0) return buffers[i];
    }
    // Every buffer plays: take over one of them at random.
    return buffers[static_cast<std::uint32_t>(gameRand()) % bufferCount];
}

bool Sound::isPlaying()
{
    if (!buffers) return false;
    bool playing = false;
    for (std::uint32_t i = 0; i < bufferCount; ++i) {
        if (buffers[i] == nullptr) continue;
        std::uint32_t status = 0;
        buffers[i]->getStatus(&status);
        playing = playing || (status & DSBSTATUS_PLAYING) != 0;
    }
    return playing;
}

HRESULT Sound::restoreBuffer(SoundBuffer* buffer, bool* wasRestored)
{
    if (buffer == nullptr) return CO_E_NOTINITIALIZED;
    if (wasRestored != nullptr) *wasRestored = false;

    std::uint32_t status = 0;
    HRESULT hr = buffer->getStatus(&status);
    if (failed(hr)) return hr;
    if ((status & DSBSTATUS_BUFFERLOST) == 0) return S_FALSE;

    // The device may keep the buffer lost for a while (another program holds
    // the output): try again every 10 ms, but not for ever.
    std::uint32_t attempts = 0;
    do {
        if (buffer->restore() == DSERR_BUFFERLOST) soundSleep(10);
        hr = buffer->restore();
        ++attempts;
    } while (hr == DSERR_BUFFERLOST && attempts < maxRestoreAttempts);
    if (failed(hr)) return hr;

    if (wasRestored != nullptr) *wasRestored = true;
    return S_OK;
}

HRESULT Sound::fillBuffer(SoundBuffer* buffer)
{
    if (buffer == nullptr) return CO_E_NOTINITIALIZED;
    HRESULT hr = restoreBuffer(buffer, nullptr);
    if (failed(hr)) return hr;

    void* region = nullptr;
    std::uint32_t lockedBytes = 0;
    hr = buffer->lock(0, bufferBytes, &region, &lockedBytes, nullptr, nullptr, 0);
    if (failed(hr)) return hr;
    if (region == nullptr) lockedBytes = 0;

    std::uint32_t bytesRead = 0;
    HRESULT readResult = E_FAIL;
    if (reader && lockedBytes > 0) {
        reader->rewind();
        readResult = reader->read(region, lockedBytes, &bytesRead);
        if (failed(readResult)) bytesRead = 0;
    } else if (lockedBytes == 0) {
        readResult = S_OK;
    }

    // Whatever the file did not deliver is silence: 0x80 is the midpoint of
    // unsigned 8-bit samples, 0 that of signed 16-bit ones. The buffer is
    // unlocked even when reading failed, so it never stays locked.
    if (bytesRead < lockedBytes) {
        const bool eightBit = reader && reader->format != nullptr && reader->format->bitsPerSample == 8;
        std::memset(static_cast<std::uint8_t*>(region) + bytesRead, eightBit ? 0x80 : 0x00,
                    lockedBytes - bytesRead);
    }
    const HRESULT unlocked = buffer->unlock(region, lockedBytes, nullptr, 0);
    if (failed(readResult)) return readResult;
    if (failed(unlocked)) return unlocked;
    return S_OK;
}

HRESULT Sound::play(std::uint32_t priority, std::uint32_t flags, std::int32_t volume,
                    std::int32_t frequency, std::int32_t pan)
{
    if (!buffers) return CO_E_NOTINITIALIZED;
    SoundBuffer* buffer = getFreeBuffer();
    if (buffer == nullptr) return E_FAIL;

    bool restored = false;
    HRESULT hr = restoreBuffer(buffer, &restored);
    if (failed(hr)) return hr;
    if (restored) {
        hr = fillBuffer(buffer);
        if (failed(hr)) return hr;
    }

    if ((creationFlags & DSBCAPS_CTRLVOLUME) != 0) buffer->setVolume(volume);
    if (frequency != -1 && (creationFlags & DSBCAPS_CTRLFREQUENCY) != 0) {
        buffer->setFrequency(static_cast<std::uint32_t>(frequency));
    }
    if ((creationFlags & DSBCAPS_CTRLPAN) != 0) buffer->setPan(pan);
    return buffer->play(0, priority, flags);
}
