// The only file that talks to OpenAL: the sound device and its buffers.
#include "audio/openal_device.h"

#include "audio/sound.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr HRESULT DSERR_CONTROLUNAVAIL = static_cast<HRESULT>(0x8878001Eu);
constexpr std::uint32_t DSBSIZE_MIN = 4;
constexpr std::uint32_t DSBSIZE_MAX = 0x0FFFFFFF;
constexpr std::uint32_t maxSharingSources = 64;

// OpenAL Soft's buffer mapping (still marked experimental, "AL_SOFTX_map_buffer"):
// a buffer stored with the read bit can be read back, so the device need not
// keep its own copy of the samples.
constexpr unsigned int mapReadBit = 0x1;
constexpr unsigned int mapPersistentBit = 0x4;
using BufferStorageFn = void(AL_APIENTRY*)(ALuint, ALenum, const ALvoid*, ALsizei, ALsizei, unsigned int);
using MapBufferFn = void*(AL_APIENTRY*)(ALuint, ALsizei, ALsizei, unsigned int);
using UnmapBufferFn = void(AL_APIENTRY*)(ALuint);

struct AlOutput;
// The loopback output the runner renders from; null when none is open.
AlOutput* loopbackOutput = nullptr;
LPALCRENDERSAMPLESSOFT renderSamples = nullptr;

class OpenAlBuffer;

// The AL device and context, kept until the device object and every buffer
// made from it have been released.
struct AlOutput {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    int references = 1;
    BufferStorageFn bufferStorage = nullptr;  // all three set, or none
    MapBufferFn mapBuffer = nullptr;
    UnmapBufferFn unmapBuffer = nullptr;
    bool paused = false;              // kept across a change of output
    bool lost = false;                // the output went away and no new one is open yet
    OpenAlBuffer* entries = nullptr;  // every buffer entry made from it, linked through the entries

    // Looks up buffer mapping in the current context.
    void findMapping()
    {
        if (alIsExtensionPresent("AL_SOFTX_map_buffer") != AL_TRUE) return;
        auto storage = reinterpret_cast<BufferStorageFn>(alGetProcAddress("alBufferStorageSOFT"));
        auto map = reinterpret_cast<MapBufferFn>(alGetProcAddress("alMapBufferSOFT"));
        auto unmap = reinterpret_cast<UnmapBufferFn>(alGetProcAddress("alUnmapBufferSOFT"));
        if (storage == nullptr || map == nullptr || unmap == nullptr) return;
        bufferStorage = storage;
        mapBuffer = map;
        unmapBuffer = unmap;
    }

    void makeCurrent() const
    {
        if (alcGetCurrentContext() != context) alcMakeContextCurrent(context);
    }
    void addReference() { ++references; }
    void releaseReference()
    {
        if (--references > 0) return;
        if (alcGetCurrentContext() == context) alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
        alcCloseDevice(device);
        if (loopbackOutput == this) loopbackOutput = nullptr;
        delete this;
    }
};

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
};

bool clearAlError() { return alGetError() == AL_NO_ERROR; }
bool makeSource(ALuint* source);

class OpenAlPrimaryBuffer final : public SoundBuffer {
public:
    explicit OpenAlPrimaryBuffer(AlOutput* out) : output(out) { output->addReference(); }

    // OpenAL Soft chooses its own output format; the requested one is only
    // checked for sense.
    HRESULT setFormat(const WaveFormatEx& format) override
    {
        if (format.formatTag != WAVE_FORMAT_PCM || format.channels == 0 || format.samplesPerSec == 0 ||
            (format.bitsPerSample != 8 && format.bitsPerSample != 16) || format.blockAlign == 0) {
            return DSERR_BADFORMAT;
        }
        return S_OK;
    }
    HRESULT play(std::uint32_t, std::uint32_t, std::uint32_t) override { return DSERR_INVALIDCALL; }
    HRESULT getStatus(std::uint32_t* status) override
    {
        if (status == nullptr) return DSERR_INVALIDPARAM;
        *status = 0;
        return S_OK;
    }
    HRESULT setVolume(std::int32_t) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT setFrequency(std::uint32_t) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT setPan(std::int32_t) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT lock(std::uint32_t, std::uint32_t, void**, std::uint32_t*, void**, std::uint32_t*,
                 std::uint32_t) override
    {
        return DSERR_INVALIDCALL;
    }
    HRESULT unlock(void*, std::uint32_t, void*, std::uint32_t) override { return DSERR_INVALIDCALL; }
    HRESULT restore() override { return S_OK; }
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
        samples->sources[samples->sourceCount++] = source;
        nextEntry = output->entries;
        if (nextEntry != nullptr) nextEntry->previousEntry = this;
        output->entries = this;
    }

    HRESULT setFormat(const WaveFormatEx&) override { return DSERR_INVALIDCALL; }

    HRESULT play(std::uint32_t, std::uint32_t, std::uint32_t playFlags) override
    {
        if (lost) return DSERR_BUFFERLOST;
        output->makeCurrent();
        clearAlError();
        alSourcei(source, AL_LOOPING, (playFlags & DSBPLAY_LOOPING) != 0 ? AL_TRUE : AL_FALSE);
        // A buffer that already plays goes on where it is, with the new flags.
        ALint state = AL_STOPPED;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        if (state != AL_PLAYING) alSourcePlay(source);
        return clearAlError() ? S_OK : E_FAIL;
    }

    HRESULT getStatus(std::uint32_t* status) override
    {
        if (status == nullptr) return DSERR_INVALIDPARAM;
        if (lost) {
            *status = DSBSTATUS_BUFFERLOST;
            return S_OK;
        }
        output->makeCurrent();
        ALint state = AL_STOPPED;
        ALint looping = AL_FALSE;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        alGetSourcei(source, AL_LOOPING, &looping);
        *status = 0;
        if (state == AL_PLAYING) {
            *status |= DSBSTATUS_PLAYING;
            if (looping == AL_TRUE) *status |= DSBSTATUS_LOOPING;
        }
        return clearAlError() ? S_OK : E_FAIL;
    }

    HRESULT setVolume(std::int32_t volume) override
    {
        if ((flags & DSBCAPS_CTRLVOLUME) == 0) return DSERR_CONTROLUNAVAIL;
        if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
        output->makeCurrent();
        alSourcef(source, AL_GAIN, gainFromVolume(volume));
        return clearAlError() ? S_OK : E_FAIL;
    }

    HRESULT setFrequency(std::uint32_t frequency) override
    {
        if ((flags & DSBCAPS_CTRLFREQUENCY) == 0) return DSERR_CONTROLUNAVAIL;
        if (frequency != DSBFREQUENCY_ORIGINAL &&
            (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX)) {
            return DSERR_INVALIDPARAM;
        }
        const float pitch = frequency == DSBFREQUENCY_ORIGINAL
                                ? 1.0f
                                : static_cast<float>(frequency) / static_cast<float>(samples->rate);
        output->makeCurrent();
        alSourcef(source, AL_PITCH, pitch);
        return clearAlError() ? S_OK : E_FAIL;
    }

    HRESULT setPan(std::int32_t pan) override
    {
        if ((flags & DSBCAPS_CTRLPAN) == 0) return DSERR_CONTROLUNAVAIL;
        if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
        // Place the (listener-relative) source on a half circle in front:
        // full left, centre, full right.
        const float x = static_cast<float>(pan) / static_cast<float>(DSBPAN_RIGHT);
        output->makeCurrent();
        alSource3f(source, AL_POSITION, x, 0.0f, -std::sqrt(1.0f - x * x));
        return clearAlError() ? S_OK : E_FAIL;
    }

    HRESULT lock(std::uint32_t offset, std::uint32_t bytes, void** region1, std::uint32_t* bytes1,
                 void** region2, std::uint32_t* bytes2, std::uint32_t) override
    {
        if (region1 == nullptr || bytes1 == nullptr) return DSERR_INVALIDPARAM;
        const std::uint32_t size = samples->stagingBytes;
        if (offset >= size || bytes == 0 || bytes > size) return DSERR_INVALIDPARAM;
        if (!samples->staging) {
            const HRESULT hr = takeBack();
            if (failed(hr)) return hr;
        }
        // A lock that runs past the end wraps round to the start.
        const std::uint32_t first = std::min(bytes, size - offset);
        *region1 = samples->staging.get() + offset;
        *bytes1 = first;
        if (region2 != nullptr) *region2 = first < bytes ? samples->staging.get() : nullptr;
        if (bytes2 != nullptr) *bytes2 = bytes - first;
        return S_OK;
    }

    HRESULT unlock(void* region1, std::uint32_t bytes1, void* region2, std::uint32_t bytes2) override
    {
        if (!inStaging(region1, bytes1) || !inStaging(region2, bytes2)) return DSERR_INVALIDPARAM;
        return upload();
    }

    // A buffer is lost only with its output; once a new output is open its
    // memory is there again, silent until it is refilled.
    HRESULT restore() override
    {
        if (lost && output->lost) return DSERR_NODRIVER;
        lost = false;
        return S_OK;
    }

    void release() override
    {
        output->makeCurrent();
        alSourceStop(source);
        alSourcei(source, AL_BUFFER, 0);
        alDeleteSources(1, &source);
        std::uint32_t kept = 0;
        for (std::uint32_t i = 0; i < samples->sourceCount; ++i) {
            if (samples->sources[i] != source) samples->sources[kept++] = samples->sources[i];
        }
        samples->sourceCount = kept;
        if (previousEntry != nullptr) previousEntry->nextEntry = nextEntry;
        if (nextEntry != nullptr) nextEntry->previousEntry = previousEntry;
        if (output->entries == this) output->entries = nextEntry;
        if (kept == 0) {
            alDeleteBuffers(1, &samples->name);
            delete samples;
        }
        clearAlError();
        AlOutput* out = output;
        delete this;
        out->releaseReference();
    }

    bool inspect(OpenAlSourceState* state) const
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

    // The output went away: the buffer is lost until restored.
    void markLost() { lost = true; }

    // Before the output changes: remembers how the source was set, deletes it
    // and, once per sound, the AL buffer (with the old context current).
    void letGoOfOutput()
    {
        alGetSourcef(source, AL_GAIN, &savedGain);
        alGetSourcef(source, AL_PITCH, &savedPitch);
        alGetSource3f(source, AL_POSITION, &savedPosition[0], &savedPosition[1], &savedPosition[2]);
        alSourceStop(source);
        alSourcei(source, AL_BUFFER, 0);
        alDeleteSources(1, &source);
        source = 0;
        if (samples->name != 0) {
            alDeleteBuffers(1, &samples->name);
            samples->name = 0;
            samples->uploaded = false;
            samples->sourceCount = 0;
        }
        clearAlError();
    }

    // On the new output (its context current): a source set as the old one
    // was and, once per sound, an empty AL buffer for the refill.
    void takeNewOutput()
    {
        if (samples->name == 0) alGenBuffers(1, &samples->name);
        if (makeSource(&source)) {
            alSourcef(source, AL_GAIN, savedGain);
            alSourcef(source, AL_PITCH, savedPitch);
            alSource3f(source, AL_POSITION, savedPosition[0], savedPosition[1], savedPosition[2]);
        }
        clearAlError();
        samples->sources[samples->sourceCount++] = source;
        lost = true;
    }

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

    bool inStaging(const void* region, std::uint32_t bytes) const
    {
        if (region == nullptr) return bytes == 0;
        if (!samples->staging) return false;
        const auto* p = static_cast<const std::uint8_t*>(region);
        const std::uint8_t* begin = samples->staging.get();
        return p >= begin && p <= begin + samples->stagingBytes &&
               bytes <= static_cast<std::uint32_t>(begin + samples->stagingBytes - p);
    }

    // Makes the staging block again from OpenAL's copy of the samples (or
    // silence, before anything was uploaded).
    HRESULT takeBack()
    {
        std::unique_ptr<std::uint8_t[]> block(new (std::nothrow) std::uint8_t[samples->stagingBytes]);
        if (!block) return E_OUTOFMEMORY;
        const std::uint32_t whole = samples->stagingBytes - samples->stagingBytes % samples->frameBytes;
        if (samples->uploaded) {
            output->makeCurrent();
            clearAlError();
            const void* held = output->mapBuffer(samples->name, 0, static_cast<ALsizei>(whole),
                                                 mapReadBit | mapPersistentBit);
            if (held == nullptr || !clearAlError()) return E_FAIL;
            std::memcpy(block.get(), held, whole);
            output->unmapBuffer(samples->name);
            std::memcpy(block.get() + whole, samples->tail, samples->stagingBytes - whole);
        } else {
            std::memset(block.get(), samples->silence, samples->stagingBytes);
        }
        samples->staging = std::move(block);
        return S_OK;
    }

    // Hands the staging block to OpenAL. A buffer attached to sources cannot
    // take new data, so every source sharing it lets go first and takes it
    // back afterwards (a sharing source that was playing stops).
    HRESULT upload()
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
        return clearAlError() && samples->uploaded ? S_OK : E_FAIL;
    }
};

// A new source that plays unattenuated, centred on the listener.
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

// Halts or resumes the mixing of an output device (ALC_SOFT_pause_device).
bool setDevicePaused(ALCdevice* device, bool paused)
{
    if (alcIsExtensionPresent(device, "ALC_SOFT_pause_device") != ALC_TRUE) return false;
    auto change = reinterpret_cast<LPALCDEVICEPAUSESOFT>(
        alcGetProcAddress(device, paused ? "alcDevicePauseSOFT" : "alcDeviceResumeSOFT"));
    if (change == nullptr) return false;
    alcGetError(device);
    change(device);
    return alcGetError(device) == ALC_NO_ERROR;
}

// False once the device reports its output gone (ALC_EXT_disconnect); one
// that cannot tell counts as connected.
bool deviceConnected(ALCdevice* device)
{
    if (alcIsExtensionPresent(device, "ALC_EXT_disconnect") != ALC_TRUE) return true;
    ALCint connected = ALC_TRUE;
    alcGetIntegerv(device, ALC_CONNECTED, 1, &connected);
    return connected != ALC_FALSE;
}

// The whole mix is raised by one constant gain on the listener, on every
// output the game opens (the first and any reopened after a loss).
void setListenerGain()
{
    alListenerf(AL_GAIN, static_cast<float>(std::pow(10.0, listenerGainDb / 20.0)));
}

// Opens the default output in place of a lost one. Every buffer entry gets a
// source of the same volume, rate and pan on it, and its sound an empty AL
// buffer; all of them stay lost until restored and refilled. False, with the
// old output kept, when no output opens.
bool reopenOutput(AlOutput* out)
{
    ALCdevice* device = alcOpenDevice(nullptr);
    if (device == nullptr) return false;
    ALCcontext* context = alcCreateContext(device, nullptr);
    if (context == nullptr) {
        alcCloseDevice(device);
        return false;
    }
    out->makeCurrent();
    for (OpenAlBuffer* entry = out->entries; entry != nullptr; entry = entry->nextEntry) entry->letGoOfOutput();
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(out->context);
    alcCloseDevice(out->device);
    out->device = device;
    out->context = context;
    alcMakeContextCurrent(context);
    out->findMapping();
    setListenerGain();
    for (OpenAlBuffer* entry = out->entries; entry != nullptr; entry = entry->nextEntry) entry->takeNewOutput();
    if (out->paused) setDevicePaused(device, true);
    out->lost = false;
    return true;
}

class OpenAlDevice final : public SoundDevice {
public:
    explicit OpenAlDevice(AlOutput* out) : output(out) {}

    HRESULT setCooperativeLevel(WindowHandle, std::uint32_t) override { return S_OK; }

    HRESULT createSoundBuffer(const SoundBufferDesc& desc, SoundBuffer** buffer) override
    {
        if (buffer == nullptr) return DSERR_INVALIDPARAM;
        *buffer = nullptr;
        output->makeCurrent();
        if ((desc.flags & DSBCAPS_PRIMARYBUFFER) != 0) {
            if (desc.bufferBytes != 0 || desc.format != nullptr) return DSERR_INVALIDPARAM;
            *buffer = new (std::nothrow) OpenAlPrimaryBuffer(output);
            return *buffer != nullptr ? S_OK : E_OUTOFMEMORY;
        }

        if (desc.format == nullptr) return DSERR_INVALIDPARAM;
        if (desc.bufferBytes < DSBSIZE_MIN || desc.bufferBytes > DSBSIZE_MAX) return DSERR_INVALIDPARAM;
        const WaveFormatEx& format = *desc.format;
        if (format.formatTag != WAVE_FORMAT_PCM || format.samplesPerSec == 0 ||
            (format.channels != 1 && format.channels != 2) ||
            (format.bitsPerSample != 8 && format.bitsPerSample != 16)) {
            return DSERR_BADFORMAT;
        }

        auto* samples = new (std::nothrow) SharedSamples;
        if (samples == nullptr) return E_OUTOFMEMORY;
        samples->staging.reset(new (std::nothrow) std::uint8_t[desc.bufferBytes]);
        if (!samples->staging) {
            delete samples;
            return E_OUTOFMEMORY;
        }
        samples->stagingBytes = desc.bufferBytes;
        samples->silence = format.bitsPerSample == 8 ? 0x80 : 0x00;
        std::memset(samples->staging.get(), samples->silence, desc.bufferBytes);
        samples->readable = output->mapBuffer != nullptr;
        samples->rate = format.samplesPerSec;
        samples->frameBytes = format.channels * (format.bitsPerSample / 8u);
        if (format.channels == 1) {
            samples->format = format.bitsPerSample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
        } else {
            samples->format = format.bitsPerSample == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
        }

        clearAlError();
        alGenBuffers(1, &samples->name);
        if (!clearAlError()) {
            delete samples;
            return E_FAIL;
        }
        ALuint source = 0;
        if (!makeSource(&source)) {
            alDeleteBuffers(1, &samples->name);
            delete samples;
            return E_FAIL;
        }
        *buffer = new (std::nothrow) OpenAlBuffer(output, samples, source, desc.flags);
        if (*buffer == nullptr) {
            alDeleteSources(1, &source);
            alDeleteBuffers(1, &samples->name);
            delete samples;
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }

    HRESULT duplicateSoundBuffer(SoundBuffer* original, SoundBuffer** duplicate) override
    {
        if (duplicate == nullptr) return DSERR_INVALIDPARAM;
        *duplicate = nullptr;
        auto* from = dynamic_cast<OpenAlBuffer*>(original);
        if (from == nullptr || from->output != output) return DSERR_INVALIDPARAM;
        if (from->samples->sourceCount >= maxSharingSources) return E_OUTOFMEMORY;
        output->makeCurrent();
        ALuint source = 0;
        if (!makeSource(&source)) return E_FAIL;
        // The duplicate starts with the original's volume and rate.
        ALfloat gain = 1.0f;
        ALfloat pitch = 1.0f;
        alGetSourcef(from->source, AL_GAIN, &gain);
        alGetSourcef(from->source, AL_PITCH, &pitch);
        alSourcef(source, AL_GAIN, gain);
        alSourcef(source, AL_PITCH, pitch);
        if (from->samples->uploaded) alSourcei(source, AL_BUFFER, static_cast<ALint>(from->samples->name));
        if (!clearAlError()) {
            alDeleteSources(1, &source);
            return E_FAIL;
        }
        *duplicate = new (std::nothrow) OpenAlBuffer(output, from->samples, source, from->flags);
        if (*duplicate == nullptr) {
            alDeleteSources(1, &source);
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }

    void release() override
    {
        AlOutput* out = output;
        delete this;
        out->releaseReference();
    }

    HRESULT pause() override { return setPaused(true); }
    HRESULT resume() override { return setPaused(false); }

    HRESULT checkOutput() override
    {
        if (!output->lost && deviceConnected(output->device)) return S_OK;
        if (!output->lost) {
            // Every source has stopped with the output: the buffers are lost.
            output->lost = true;
            for (OpenAlBuffer* entry = output->entries; entry != nullptr; entry = entry->nextEntry) {
                entry->markLost();
            }
        }
        return reopenOutput(output) ? S_FALSE : DSERR_NODRIVER;
    }

private:
    HRESULT setPaused(bool paused)
    {
        output->paused = paused;
        // A lost output plays nothing anyway; its successor starts as asked.
        if (output->lost) return S_OK;
        return setDevicePaused(output->device, paused) ? S_OK : E_FAIL;
    }

    AlOutput* output;
};

}  // namespace

float gainFromVolume(std::int32_t volume)
{
    if (volume <= DSBVOLUME_MIN) return 0.0f;
    if (volume >= 0) return 1.0f;
    return static_cast<float>(std::pow(10.0, static_cast<double>(volume) / 2000.0));
}

namespace {

// Makes `context` current on `alDevice` and wraps both in the device object;
// on failure closes them.
HRESULT wrapOutput(ALCdevice* alDevice, ALCcontext* context, bool loopback, SoundDevice** device)
{
    if (context == nullptr || alcMakeContextCurrent(context) != ALC_TRUE) {
        if (context != nullptr) alcDestroyContext(context);
        alcCloseDevice(alDevice);
        return DSERR_NODRIVER;
    }
    auto* output = new (std::nothrow) AlOutput;
    if (output == nullptr) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
        alcCloseDevice(alDevice);
        return E_OUTOFMEMORY;
    }
    output->device = alDevice;
    output->context = context;
    output->findMapping();
    setListenerGain();
    *device = new (std::nothrow) OpenAlDevice(output);
    if (*device == nullptr) {
        output->releaseReference();
        return E_OUTOFMEMORY;
    }
    if (loopback) loopbackOutput = output;
    return S_OK;
}

}  // namespace

HRESULT createOpenAlDevice(SoundDevice** device)
{
    if (device == nullptr) return E_INVALIDARG;
    *device = nullptr;
    ALCdevice* alDevice = alcOpenDevice(nullptr);
    if (alDevice == nullptr) return DSERR_NODRIVER;
    return wrapOutput(alDevice, alcCreateContext(alDevice, nullptr), false, device);
}

HRESULT createOpenAlLoopbackDevice(SoundDevice** device)
{
    if (device == nullptr) return E_INVALIDARG;
    *device = nullptr;
    // One loopback output at a time: it is the one the runner renders.
    if (loopbackOutput != nullptr) return DSERR_ALLOCATED;
    if (alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback") != ALC_TRUE) return DSERR_NODRIVER;
    auto openLoopback =
        reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    auto formatSupported = reinterpret_cast<LPALCISRENDERFORMATSUPPORTEDSOFT>(
        alcGetProcAddress(nullptr, "alcIsRenderFormatSupportedSOFT"));
    auto render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (openLoopback == nullptr || formatSupported == nullptr || render == nullptr) return DSERR_NODRIVER;
    ALCdevice* alDevice = openLoopback(nullptr);
    if (alDevice == nullptr) return DSERR_NODRIVER;
    if (formatSupported(alDevice, static_cast<ALCsizei>(loopbackRate), ALC_STEREO_SOFT, ALC_FLOAT_SOFT) != ALC_TRUE) {
        alcCloseDevice(alDevice);
        return DSERR_NODRIVER;
    }
    // Plain stereo panning, no HRTF, and no limiter: the recording is the
    // linear sum of the sounds.
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT,
                                 ALC_FORMAT_TYPE_SOFT,     ALC_FLOAT_SOFT,
                                 ALC_FREQUENCY,            static_cast<ALCint>(loopbackRate),
                                 ALC_HRTF_SOFT,            ALC_FALSE,
                                 ALC_OUTPUT_LIMITER_SOFT,  ALC_FALSE,
                                 0};
    renderSamples = render;
    return wrapOutput(alDevice, alcCreateContext(alDevice, attributes), true, device);
}

bool renderOpenAlLoopback(float* out, std::uint32_t frames)
{
    if (loopbackOutput == nullptr) {
        std::fill(out, out + static_cast<std::size_t>(frames) * loopbackChannels, 0.0f);
        return false;
    }
    renderSamples(loopbackOutput->device, out, static_cast<ALCsizei>(frames));
    return true;
}

bool inspectOpenAlBuffer(SoundBuffer* buffer, OpenAlSourceState* state)
{
    auto* entry = dynamic_cast<OpenAlBuffer*>(buffer);
    if (entry == nullptr || state == nullptr) return false;
    return entry->inspect(state);
}
