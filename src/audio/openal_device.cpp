// The sound device on OpenAL Soft: the device object that makes and
// duplicates buffers, pauses the output and checks that it is still there,
// and the game's real output.
#include "audio/openal_device.h"

#include "audio/openal_buffer.h"
#include "audio/openal_output.h"

#include <cmath>
#include <cstring>
#include <new>

namespace openal {

namespace {

constexpr std::uint32_t DSBSIZE_MIN = 4;
constexpr std::uint32_t DSBSIZE_MAX = 0x0FFFFFFF;

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

}  // namespace openal

using namespace openal;

float gainFromVolume(std::int32_t volume)
{
    if (volume <= DSBVOLUME_MIN) return 0.0f;
    if (volume >= 0) return 1.0f;
    return static_cast<float>(std::pow(10.0, static_cast<double>(volume) / 2000.0));
}

HRESULT createOpenAlDevice(SoundDevice** device)
{
    if (device == nullptr) return E_INVALIDARG;
    *device = nullptr;
    ALCdevice* alDevice = alcOpenDevice(nullptr);
    if (alDevice == nullptr) return DSERR_NODRIVER;
    return wrapOutput(alDevice, alcCreateContext(alDevice, nullptr), false, device);
}

bool inspectOpenAlBuffer(SoundBuffer* buffer, OpenAlSourceState* state)
{
    auto* entry = dynamic_cast<OpenAlBuffer*>(buffer);
    if (entry == nullptr || state == nullptr) return false;
    return entry->inspect(state);
}
