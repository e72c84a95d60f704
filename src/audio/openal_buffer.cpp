// Buffer entries on OpenAL: playing, volume, rate and pan on the entry's
// source, the staging block handed out by lock and uploaded on unlock, and
// letting go of a lost output and taking up a new one.
#include "audio/openal_buffer.h"

#include "audio/sound.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace openal {

bool makeSource(ALuint* source)
{
    clearAlError();
    alGenSources(1, source);
    if (!clearAlError()) return false;
    alSourcei(*source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(*source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(*source, AL_ROLLOFF_FACTOR, 0.0f);
    return clearAlError();
}

HResult OpenAlBuffer::play(std::uint32_t, std::uint32_t, std::uint32_t playFlags)
{
    if (lost) return dsErrBufferLost;
    output->makeCurrent();
    clearAlError();
    alSourcei(source, AL_LOOPING, (playFlags & dsbPlayLooping) != 0 ? AL_TRUE : AL_FALSE);
    // A buffer that already plays goes on where it is, with the new flags.
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING) alSourcePlay(source);
    return clearAlError() ? sOk : eFail;
}

HResult OpenAlBuffer::getStatus(std::uint32_t* status)
{
    if (status == nullptr) return dsErrInvalidParam;
    if (lost) {
        *status = dsbStatusBufferLost;
        return sOk;
    }
    output->makeCurrent();
    ALint state = AL_STOPPED;
    ALint looping = AL_FALSE;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    alGetSourcei(source, AL_LOOPING, &looping);
    *status = 0;
    if (state == AL_PLAYING) {
        *status |= dsbStatusPlaying;
        if (looping == AL_TRUE) *status |= dsbStatusLooping;
    }
    return clearAlError() ? sOk : eFail;
}

HResult OpenAlBuffer::setVolume(std::int32_t volume)
{
    if ((flags & dsbCapsCtrlVolume) == 0) return dsErrControlUnavail;
    if (volume < dsbVolumeMin || volume > dsbVolumeMax) return dsErrInvalidParam;
    output->makeCurrent();
    alSourcef(source, AL_GAIN, gainFromVolume(volume));
    return clearAlError() ? sOk : eFail;
}

HResult OpenAlBuffer::setFrequency(std::uint32_t frequency)
{
    if ((flags & dsbCapsCtrlFrequency) == 0) return dsErrControlUnavail;
    if (frequency != dsbFrequencyOriginal &&
        (frequency < dsbFrequencyMin || frequency > dsbFrequencyMax)) {
        return dsErrInvalidParam;
    }
    const float pitch = frequency == dsbFrequencyOriginal
                            ? 1.0f
                            : static_cast<float>(frequency) / static_cast<float>(samples->rate);
    output->makeCurrent();
    alSourcef(source, AL_PITCH, pitch);
    return clearAlError() ? sOk : eFail;
}

HResult OpenAlBuffer::setPan(std::int32_t pan)
{
    if ((flags & dsbCapsCtrlPan) == 0) return dsErrControlUnavail;
    if (pan < dsbPanLeft || pan > dsbPanRight) return dsErrInvalidParam;
    // Place the (listener-relative) source on a half circle in front:
    // full left, centre, full right.
    const float x = static_cast<float>(pan) / static_cast<float>(dsbPanRight);
    output->makeCurrent();
    alSource3f(source, AL_POSITION, x, 0.0f, -std::sqrt(1.0f - x * x));
    return clearAlError() ? sOk : eFail;
}

HResult OpenAlBuffer::lock(std::uint32_t offset, std::uint32_t bytes, void** region1,
                           std::uint32_t* bytes1, void** region2, std::uint32_t* bytes2, std::uint32_t)
{
    if (region1 == nullptr || bytes1 == nullptr) return dsErrInvalidParam;
    const std::uint32_t size = samples->stagingBytes;
    if (offset >= size || bytes == 0 || bytes > size) return dsErrInvalidParam;
    if (!samples->staging) {
        const HResult hr = takeBack();
        if (failed(hr)) return hr;
    }
    // A lock that runs past the end wraps round to the start.
    const std::uint32_t first = std::min(bytes, size - offset);
    *region1 = samples->staging.get() + offset;
    *bytes1 = first;
    if (region2 != nullptr) *region2 = first < bytes ? samples->staging.get() : nullptr;
    if (bytes2 != nullptr) *bytes2 = bytes - first;
    return sOk;
}

HResult OpenAlBuffer::unlock(void* region1, std::uint32_t bytes1, void* region2, std::uint32_t bytes2)
{
    if (!inStaging(region1, bytes1) || !inStaging(region2, bytes2)) return dsErrInvalidParam;
    return upload();
}

HResult OpenAlBuffer::restore()
{
    if (lost && output->lost) return dsErrNoDriver;
    lost = false;
    return sOk;
}

void OpenAlBuffer::release()
{
    output->makeCurrent();
    if (source != 0) {
        alSourceStop(source);
        alSourcei(source, AL_BUFFER, 0);
        alDeleteSources(1, &source);
    }
    std::uint32_t kept = 0;
    for (std::uint32_t i = 0; i < samples->sourceCount; ++i) {
        if (samples->sources[i] != source) samples->sources[kept++] = samples->sources[i];
    }
    samples->sourceCount = kept;
    if (previousEntry != nullptr) previousEntry->nextEntry = nextEntry;
    if (nextEntry != nullptr) nextEntry->previousEntry = previousEntry;
    if (output->entries == this) output->entries = nextEntry;
    if (--samples->entryCount == 0) {
        if (samples->name != 0) alDeleteBuffers(1, &samples->name);
        delete samples;
    }
    clearAlError();
    AlOutput* out = output;
    delete this;
    out->releaseReference();
}

bool OpenAlBuffer::inspect(OpenAlSourceState* state) const
{
    output->makeCurrent();
    ALint looping = AL_FALSE;
    ALint attached = 0;
    ALint bytes = 0;
    alGetSourcef(source, AL_GAIN, &state->gain);
    alGetSourcef(source, AL_PITCH, &state->pitch);
    alGetSourcei(source, AL_LOOPING, &looping);
    alGetSourcei(source, AL_BUFFER, &attached);
    if (attached != 0) alGetBufferi(static_cast<ALuint>(attached), AL_SIZE, &bytes);
    state->looping = looping == AL_TRUE;
    state->alBuffer = static_cast<std::uint32_t>(attached);
    state->alBufferBytes = bytes;
    state->stagingHeld = samples->staging != nullptr;
    return clearAlError();
}

bool OpenAlBuffer::letGoOfSource()
{
    if (source == 0) return true;
    alGetSourcef(source, AL_GAIN, &savedGain);
    alGetSourcef(source, AL_PITCH, &savedPitch);
    alGetSource3f(source, AL_POSITION, &savedPosition[0], &savedPosition[1], &savedPosition[2]);
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    alDeleteSources(1, &source);
    source = 0;
    return clearAlError();
}

bool OpenAlBuffer::letGoOfSamples()
{
    samples->sourceCount = 0;
    samples->uploaded = false;
    if (samples->name == 0) return true;
    alDeleteBuffers(1, &samples->name);
    samples->name = 0;
    return clearAlError();
}

void OpenAlBuffer::takeNewOutput()
{
    lost = true;
    if (samples->name == 0) {
        alGenBuffers(1, &samples->name);
        if (!clearAlError()) samples->name = 0;
    }
    source = 0;
    if (!makeSource(&source)) {
        if (source != 0) alDeleteSources(1, &source);
        source = 0;
        clearAlError();
        return;  // playing it fails until a later output gives it a source
    }
    alSourcef(source, AL_GAIN, savedGain);
    alSourcef(source, AL_PITCH, savedPitch);
    alSource3f(source, AL_POSITION, savedPosition[0], savedPosition[1], savedPosition[2]);
    clearAlError();
    if (samples->sourceCount < maxSharingSources) samples->sources[samples->sourceCount++] = source;
}

bool OpenAlBuffer::inStaging(const void* region, std::uint32_t bytes) const
{
    if (region == nullptr) return bytes == 0;
    if (!samples->staging) return false;
    const auto* p = static_cast<const std::uint8_t*>(region);
    const std::uint8_t* begin = samples->staging.get();
    return p >= begin && p <= begin + samples->stagingBytes &&
           bytes <= static_cast<std::uint32_t>(begin + samples->stagingBytes - p);
}

HResult OpenAlBuffer::takeBack()
{
    std::unique_ptr<std::uint8_t[]> block(new (std::nothrow) std::uint8_t[samples->stagingBytes]);
    if (!block) return eOutOfMemory;
    const std::uint32_t whole = samples->stagingBytes - samples->stagingBytes % samples->frameBytes;
    if (samples->uploaded) {
        output->makeCurrent();
        clearAlError();
        const void* held = output->mapBuffer(samples->name, 0, static_cast<ALsizei>(whole),
                                             mapReadBit | mapPersistentBit);
        if (held == nullptr || !clearAlError()) return eFail;
        std::memcpy(block.get(), held, whole);
        output->unmapBuffer(samples->name);
        std::memcpy(block.get() + whole, samples->tail, samples->stagingBytes - whole);
    } else {
        std::memset(block.get(), samples->silence, samples->stagingBytes);
    }
    samples->staging = std::move(block);
    return sOk;
}

HResult OpenAlBuffer::upload()
{
    output->makeCurrent();
    clearAlError();
    for (std::uint32_t i = 0; i < samples->sourceCount; ++i) {
        alSourceStop(samples->sources[i]);
        alSourcei(samples->sources[i], AL_BUFFER, 0);
    }
    // OpenAL takes whole sample frames only.
    const std::uint32_t bytes = samples->stagingBytes - samples->stagingBytes % samples->frameBytes;
    if (bytes > 0) {
        if (samples->readable) {
            output->bufferStorage(samples->name, samples->format, samples->staging.get(),
                                  static_cast<ALsizei>(bytes), static_cast<ALsizei>(samples->rate),
                                  mapReadBit | mapPersistentBit);
        } else {
            alBufferData(samples->name, samples->format, samples->staging.get(),
                         static_cast<ALsizei>(bytes), static_cast<ALsizei>(samples->rate));
        }
        samples->uploaded = clearAlError();
    }
    if (samples->uploaded && samples->readable) {
        // OpenAL holds the samples now: keep the stray bytes, drop the block.
        std::memcpy(samples->tail, samples->staging.get() + bytes, samples->stagingBytes - bytes);
        samples->staging.reset();
    }
    if (samples->uploaded) {
        for (std::uint32_t i = 0; i < samples->sourceCount; ++i) {
            alSourcei(samples->sources[i], AL_BUFFER, static_cast<ALint>(samples->name));
        }
    }
    return clearAlError() && samples->uploaded ? sOk : eFail;
}

}  // namespace openal
