// OpenAL Soft's loopback output for the scripted runner: nothing plays by
// the wall clock; the mix advances only by what the runner renders from it.
#include "audio/openal_device.h"

#include "audio/openal_output.h"

#include <AL/alext.h>

#include <algorithm>

using namespace openal;

namespace {

// The loopback output the runner renders from; null when none is open.
AlOutput* loopbackOutput = nullptr;
LPALCRENDERSAMPLESSOFT renderSamples = nullptr;

void forgetLoopback(AlOutput* out)
{
    if (loopbackOutput == out) loopbackOutput = nullptr;
}

}  // namespace

HResult createOpenAlLoopbackDevice(SoundDevice** device)
{
    if (device == nullptr) return eInvalidArg;
    *device = nullptr;
    // One loopback output at a time: it is the one the runner renders.
    if (loopbackOutput != nullptr) return dsErrAllocated;
    if (alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback") != ALC_TRUE) return dsErrNoDriver;
    auto openLoopback =
        reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    auto formatSupported = reinterpret_cast<LPALCISRENDERFORMATSUPPORTEDSOFT>(
        alcGetProcAddress(nullptr, "alcIsRenderFormatSupportedSOFT"));
    auto render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (openLoopback == nullptr || formatSupported == nullptr || render == nullptr) return dsErrNoDriver;
    ALCdevice* alDevice = openLoopback(nullptr);
    if (alDevice == nullptr) return dsErrNoDriver;
    if (formatSupported(alDevice, static_cast<ALCsizei>(loopbackRate), ALC_STEREO_SOFT, ALC_FLOAT_SOFT) != ALC_TRUE) {
        alcCloseDevice(alDevice);
        return dsErrNoDriver;
    }
    // Plain stereo panning, no HRTF, and the output limiter of every output
    // the game opens (it works on the samples alone, so the recording is the
    // same on any machine at any speed).
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT,
                                 ALC_FORMAT_TYPE_SOFT,     ALC_FLOAT_SOFT,
                                 ALC_FREQUENCY,            static_cast<ALCint>(loopbackRate),
                                 ALC_HRTF_SOFT,            ALC_FALSE,
                                 ALC_OUTPUT_LIMITER_SOFT,  ALC_TRUE,
                                 0};
    renderSamples = render;
    const HResult hr = wrapOutput(alDevice, alcCreateContext(alDevice, attributes), device, &loopbackOutput);
    if (loopbackOutput != nullptr) loopbackOutput->onClose = forgetLoopback;
    return hr;
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
