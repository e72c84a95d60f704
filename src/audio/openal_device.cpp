// The sound device on OpenAL Soft: the device object that makes and
// duplicates buffers, mutes the output and checks that it is still there,
// and the game's real output.
#include "audio/openal_device.h"

#include "audio/openal_buffer.h"
#include "audio/openal_output.h"

#include <cmath>
#include <cstring>
#include <new>

namespace openal {

namespace {

constexpr std::uint32_t dsbSizeMin = 4;
constexpr std::uint32_t dsbSizeMax = 0x0FFFFFFF;

class OpenAlDevice final : public SoundDevice {
public:
    explicit OpenAlDevice(AlOutput* out) : output(out) {}

    HResult setCooperativeLevel(WindowHandle, std::uint32_t) override { return sOk; }

    HResult createSoundBuffer(const SoundBufferDesc& desc, SoundBuffer** buffer) override
    {
        if (buffer == nullptr) return dsErrInvalidParam;
        *buffer = nullptr;
        output->makeCurrent();
        if ((desc.flags & dsbCapsPrimaryBuffer) != 0) {
            if (desc.bufferBytes != 0 || desc.format != nullptr) return dsErrInvalidParam;
            *buffer = new (std::nothrow) OpenAlPrimaryBuffer(output);
            return *buffer != nullptr ? sOk : eOutOfMemory;
        }

        if (desc.format == nullptr) return dsErrInvalidParam;
        if (desc.bufferBytes < dsbSizeMin || desc.bufferBytes > dsbSizeMax) return dsErrInvalidParam;
        const WaveFormatEx& format = *desc.format;
        if (format.formatTag != waveFormatPcm || format.samplesPerSec == 0 ||
            (format.channels != 1 && format.channels != 2) ||
            (format.bitsPerSample != 8 && format.bitsPerSample != 16)) {
            return dsErrBadFormat;
        }

        auto* samples = new (std::nothrow) SharedSamples;
        if (samples == nullptr) return eOutOfMemory;
        samples->staging.reset(new (std::nothrow) std::uint8_t[desc.bufferBytes]);
        if (!samples->staging) {
            delete samples;
            return eOutOfMemory;
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
            return eFail;
        }
        ALuint source = 0;
        if (!makeSource(&source)) {
            alDeleteBuffers(1, &samples->name);
            delete samples;
            return eFail;
        }
        *buffer = new (std::nothrow) OpenAlBuffer(output, samples, source, desc.flags);
        if (*buffer == nullptr) {
            alDeleteSources(1, &source);
            alDeleteBuffers(1, &samples->name);
            delete samples;
            return eOutOfMemory;
        }
        return sOk;
    }

    HResult duplicateSoundBuffer(SoundBuffer* original, SoundBuffer** duplicate) override
    {
        if (duplicate == nullptr) return dsErrInvalidParam;
        *duplicate = nullptr;
        auto* from = dynamic_cast<OpenAlBuffer*>(original);
        if (from == nullptr || from->output != output) return dsErrInvalidParam;
        if (from->samples->sourceCount >= maxSharingSources) return eOutOfMemory;
        output->makeCurrent();
        ALuint source = 0;
        if (!makeSource(&source)) return eFail;
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
            return eFail;
        }
        *duplicate = new (std::nothrow) OpenAlBuffer(output, from->samples, source, from->flags);
        if (*duplicate == nullptr) {
            alDeleteSources(1, &source);
            return eOutOfMemory;
        }
        return sOk;
    }

    void release() override
    {
        AlOutput* out = output;
        delete this;
        out->releaseReference();
    }

    HResult setMuted(bool muted) override
    {
        output->muted = muted;
        return listenerChanged();
    }

    HResult setMasterVolume(std::int32_t volume) override
    {
        if (volume < dsbVolumeMin || volume > dsbVolumeMax) return dsErrInvalidParam;
        output->masterVolume = volume;
        return listenerChanged();
    }

    HResult checkOutput() override
    {
        if (!output->lost && deviceConnected(output->device)) return sOk;
        if (!output->lost) {
            // Every source has stopped with the output: the buffers are lost.
            output->lost = true;
            for (OpenAlBuffer* entry = output->entries; entry != nullptr; entry = entry->nextEntry) {
                entry->markLost();
            }
        }
        return reopenOutput(output) ? sFalse : dsErrNoDriver;
    }

private:
    HResult listenerChanged()
    {
        // A lost output plays nothing anyway; its successor starts as asked.
        if (output->lost) return sOk;
        output->makeCurrent();
        applyListenerGain(*output);
        return clearAlError() ? sOk : eFail;
    }

    AlOutput* output;
};

}  // namespace

HResult wrapOutput(ALCdevice* alDevice, ALCcontext* context, SoundDevice** device, AlOutput** made)
{
    if (context == nullptr || alcMakeContextCurrent(context) != ALC_TRUE) {
        if (context != nullptr) alcDestroyContext(context);
        alcCloseDevice(alDevice);
        return dsErrNoDriver;
    }
    auto* output = new (std::nothrow) AlOutput;
    if (output == nullptr) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
        alcCloseDevice(alDevice);
        return eOutOfMemory;
    }
    output->device = alDevice;
    output->context = context;
    output->findMapping();
    applyListenerGain(*output);
    *device = new (std::nothrow) OpenAlDevice(output);
    if (*device == nullptr) {
        output->releaseReference();
        return eOutOfMemory;
    }
    if (made != nullptr) *made = output;
    return sOk;
}

}  // namespace openal

using namespace openal;

float gainFromVolume(std::int32_t volume)
{
    if (volume <= dsbVolumeMin) return 0.0f;
    if (volume >= 0) return 1.0f;
    return static_cast<float>(std::pow(10.0, static_cast<double>(volume) / 2000.0));
}

HResult createOpenAlDevice(SoundDevice** device)
{
    if (device == nullptr) return eInvalidArg;
    *device = nullptr;
    ALCdevice* alDevice = alcOpenDevice(nullptr);
    if (alDevice == nullptr) return dsErrNoDriver;
    return wrapOutput(alDevice, alcCreateContext(alDevice, outputAttributes), device);
}

bool inspectOpenAlBuffer(SoundBuffer* buffer, OpenAlSourceState* state)
{
    auto* entry = dynamic_cast<OpenAlBuffer*>(buffer);
    if (entry == nullptr || state == nullptr) return false;
    return entry->inspect(state);
}

HResult createSystemSoundDevice(SoundDevice** device) { return createOpenAlDevice(device); }
