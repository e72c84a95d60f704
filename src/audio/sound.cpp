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

std::uint32_t Sound::statusOf(SoundBuffer* buffer)
{
    std::uint32_t status = 0;
    buffer->getStatus(&status);
    return answers != nullptr ? answers->status(status) : status;
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
        if ((statusOf(buffers[i]) & dsbStatusPlaying) == 0) return buffers[i];
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
        playing = playing || (statusOf(buffers[i]) & dsbStatusPlaying) != 0;
    }
    return playing;
}

HResult Sound::restoreBuffer(SoundBuffer* buffer, bool* wasRestored)
{
    if (buffer == nullptr) return coENotInitialized;
    if (wasRestored != nullptr) *wasRestored = false;

    std::uint32_t status = 0;
    HResult hr = buffer->getStatus(&status);
    if (failed(hr)) return hr;
    if ((status & dsbStatusBufferLost) == 0) return sFalse;

    // The device may keep the buffer lost for a while (another program holds
    // the output): try again every 10 ms, but not for ever.
    std::uint32_t attempts = 0;
    do {
        if (buffer->restore() == dsErrBufferLost) soundSleep(10);
        hr = buffer->restore();
        ++attempts;
    } while (hr == dsErrBufferLost && attempts < maxRestoreAttempts);
    if (failed(hr)) return hr;

    if (wasRestored != nullptr) *wasRestored = true;
    return sOk;
}

HResult Sound::fillBuffer(SoundBuffer* buffer)
{
    if (buffer == nullptr) return coENotInitialized;
    HResult hr = restoreBuffer(buffer, nullptr);
    if (failed(hr)) return hr;

    void* region = nullptr;
    std::uint32_t lockedBytes = 0;
    hr = buffer->lock(0, bufferBytes, &region, &lockedBytes, nullptr, nullptr, 0);
    if (failed(hr)) return hr;
    if (region == nullptr) lockedBytes = 0;

    std::uint32_t bytesRead = 0;
    HResult readResult = eFail;
    if (reader && lockedBytes > 0) {
        reader->rewind();
        readResult = reader->read(region, lockedBytes, &bytesRead);
        if (failed(readResult)) bytesRead = 0;
    } else if (lockedBytes == 0) {
        readResult = sOk;
    }

    // Whatever the file did not deliver is silence: 0x80 is the midpoint of
    // unsigned 8-bit samples, 0 that of signed 16-bit ones. The buffer is
    // unlocked even when reading failed, so it never stays locked.
    if (bytesRead < lockedBytes) {
        const bool eightBit = reader && reader->format != nullptr && reader->format->bitsPerSample == 8;
        std::memset(static_cast<std::uint8_t*>(region) + bytesRead, eightBit ? 0x80 : 0x00,
                    lockedBytes - bytesRead);
    }
    const HResult unlocked = buffer->unlock(region, lockedBytes, nullptr, 0);
    if (failed(readResult)) return readResult;
    if (failed(unlocked)) return unlocked;
    return sOk;
}

HResult Sound::play(std::uint32_t priority, std::uint32_t flags, std::int32_t volume,
                    std::int32_t frequency, std::int32_t pan)
{
    if (!buffers) return coENotInitialized;
    SoundBuffer* buffer = getFreeBuffer();
    if (buffer == nullptr) return eFail;

    bool restored = false;
    HResult hr = restoreBuffer(buffer, &restored);
    if (failed(hr)) return hr;
    if (restored) {
        hr = fillBuffer(buffer);
        if (failed(hr)) return hr;
    }

    if ((creationFlags & dsbCapsCtrlVolume) != 0) buffer->setVolume(volume);
    if (frequency != -1 && (creationFlags & dsbCapsCtrlFrequency) != 0) {
        buffer->setFrequency(static_cast<std::uint32_t>(frequency));
    }
    if ((creationFlags & dsbCapsCtrlPan) != 0) buffer->setPan(pan);
    return buffer->play(0, priority, flags);
}
