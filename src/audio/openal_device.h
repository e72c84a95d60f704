#pragma once

#include <cstdint>

#include "audio/sound_device.h"

// The sound device on OpenAL Soft. Each sound's data lives in one AL buffer,
// each buffer entry plays on an AL source of its own, and duplicates share the
// AL buffer. Fails with dsErrNoDriver when there is no working sound output.
HResult createOpenAlDevice(SoundDevice** device);

// The same device on OpenAL Soft's loopback output, for a host that keeps its
// own time: nothing plays by the wall clock; the mix advances only by what
// renderOpenAlLoopback takes from it (44 100 Hz, stereo, 32-bit float).
// One at a time: a second fails with dsErrAllocated while the first is open.
HResult createOpenAlLoopbackDevice(SoundDevice** device);
constexpr std::uint32_t loopbackRate = 44100;
constexpr std::uint32_t loopbackChannels = 2;
// Mixes the next `frames` sample frames of the open loopback output into
// `out` (interleaved left/right floats, full scale ±1, not clipped). With no
// loopback output open, `out` is silence and the result false.
bool renderOpenAlLoopback(float* out, std::uint32_t frames);

// AL gain for a volume in hundredths of a decibel: 10^(volume / 2000),
// silent at -10000 and below, full at 0 and above.
float gainFromVolume(std::int32_t volume);

// What OpenAL holds for a buffer entry, read back from its source (for tests
// and diagnostics). False when `buffer` is not an OpenAL buffer entry.
struct OpenAlSourceState {
    float gain = 0.0f;
    float pitch = 0.0f;
    bool looping = false;
    std::uint32_t alBuffer = 0;  // the AL buffer attached to the source
    std::int32_t alBufferBytes = 0;  // size of that AL buffer's data
    bool stagingHeld = false;  // the device holds its own copy of the samples too
};
bool inspectOpenAlBuffer(SoundBuffer* buffer, OpenAlSourceState* state);
