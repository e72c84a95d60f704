// The OpenAL output as a whole: its references, buffer mapping, pausing,
// the check that it is still connected, and reopening it after a loss.
#include "audio/openal_output.h"

#include <AL/alext.h>

#include <cmath>

#include "audio/openal_buffer.h"
#include "audio/openal_device.h"

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
    if (alcGetCurrentContext() == context) alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(device);
    if (loopbackOutput == this) loopbackOutput = nullptr;
    delete this;
}

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

bool deviceConnected(ALCdevice* device)
{
    if (alcIsExtensionPresent(device, "ALC_EXT_disconnect") != ALC_TRUE) return true;
    ALCint connected = ALC_TRUE;
    alcGetIntegerv(device, ALC_CONNECTED, 1, &connected);
    return connected != ALC_FALSE;
}

void setListenerGain()
{
    alListenerf(AL_GAIN, static_cast<float>(std::pow(10.0, listenerGainDb / 20.0)));
}

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

}  // namespace openal
