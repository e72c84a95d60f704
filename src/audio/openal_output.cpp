// The OpenAL output as a whole: its references, buffer mapping, the
// listener's gain (output gain and mute), the check that it is still
// connected, and reopening it after a loss.
#include "audio/openal_output.h"

#include <AL/alext.h>

#include <cmath>

#include "audio/openal_buffer.h"
#include "audio/openal_device.h"
#include "audio/output_gain.h"

namespace openal {

void AlOutput::findMapping()
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

void AlOutput::releaseReference()
{
    if (--references > 0) return;
    if (onClose != nullptr) onClose(this);
    if (alcGetCurrentContext() == context) alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(device);
    delete this;
}

bool deviceConnected(ALCdevice* device)
{
    if (alcIsExtensionPresent(device, "ALC_EXT_disconnect") != ALC_TRUE) return true;
    ALCint connected = ALC_TRUE;
    alcGetIntegerv(device, ALC_CONNECTED, 1, &connected);
    return connected != ALC_FALSE;
}

const ALCint outputAttributes[] = {ALC_OUTPUT_LIMITER_SOFT, ALC_TRUE, 0};

void applyListenerGain(const AlOutput& out)
{
    const float gain = static_cast<float>(std::pow(10.0, outputGainDb / 20.0)) * gainFromVolume(out.masterVolume);
    alListenerf(AL_GAIN, out.muted ? 0.0f : gain);
}

bool letGoOfOutput(AlOutput* out)
{
    out->makeCurrent();
    bool clean = clearAlError();
    for (OpenAlBuffer* entry = out->entries; entry != nullptr; entry = entry->nextEntry) {
        clean = entry->letGoOfSource() && clean;
    }
    for (OpenAlBuffer* entry = out->entries; entry != nullptr; entry = entry->nextEntry) {
        clean = entry->letGoOfSamples() && clean;
    }
    return clean;
}

bool reopenOutput(AlOutput* out, void (*beforeClosing)(AlOutput* old, bool letGoCleanly))
{
    ALCdevice* device = alcOpenDevice(nullptr);
    if (device == nullptr) return false;
    ALCcontext* context = alcCreateContext(device, outputAttributes);
    if (context == nullptr) {
        alcCloseDevice(device);
        return false;
    }
    // The old output goes whether or not OpenAL complained on the way.
    const bool clean = letGoOfOutput(out);
    if (beforeClosing != nullptr) beforeClosing(out, clean);
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(out->context);
    alcCloseDevice(out->device);
    out->device = device;
    out->context = context;
    alcMakeContextCurrent(context);
    out->findMapping();
    applyListenerGain(*out);
    for (OpenAlBuffer* entry = out->entries; entry != nullptr; entry = entry->nextEntry) entry->takeNewOutput();
    out->lost = false;
    return true;
}

}  // namespace openal
