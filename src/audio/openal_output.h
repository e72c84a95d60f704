#pragma once

// The OpenAL output behind the sound device (openal_device.h): the AL device
// and context, shared by the device object and every buffer made from it,
// and what is done to the output as a whole (pause, the check that it is
// still there, reopening it). Only the audio library's OpenAL files include
// this header.

#include <AL/al.h>
#include <AL/alc.h>

#include "audio/sound_device.h"

namespace openal {

// OpenAL Soft's buffer mapping (still marked experimental, "AL_SOFTX_map_buffer"):
// a buffer stored with the read bit can be read back, so the device need not
// keep its own copy of the samples.
constexpr unsigned int mapReadBit = 0x1;
constexpr unsigned int mapPersistentBit = 0x4;
using BufferStorageFn = void(AL_APIENTRY*)(ALuint, ALenum, const ALvoid*, ALsizei, ALsizei, unsigned int);
using MapBufferFn = void*(AL_APIENTRY*)(ALuint, ALsizei, ALsizei, unsigned int);
using UnmapBufferFn = void(AL_APIENTRY*)(ALuint);

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
    bool muted = false;               // kept across a change of output
    std::int32_t masterVolume = 0;    // hundredths of a decibel, kept across a change of output
    bool lost = false;                // the output went away and no new one is open yet
    OpenAlBuffer* entries = nullptr;  // every buffer entry made from it, linked through the entries
    void (*onClose)(AlOutput* out) = nullptr;  // told just before the output closes

    // Looks up buffer mapping in the current context.
    void findMapping();

    void makeCurrent() const
    {
        if (alcGetCurrentContext() != context) alcMakeContextCurrent(context);
    }
    void addReference() { ++references; }
    void releaseReference();
};

// Clears OpenAL's error state; false when there was an error.
inline bool clearAlError() { return alGetError() == AL_NO_ERROR; }

// False once the device reports its output gone (ALC_EXT_disconnect); one
// that cannot tell counts as connected.
bool deviceConnected(ALCdevice* device);

// What every output the game opens asks of OpenAL Soft: its output limiter,
// the backstop for the rare moments when many sounds start on one sample.
extern const ALCint outputAttributes[];

// The one owner of the listener's gain, on the current context: the output
// gain (output_gain.h) times the master volume, or silence while the output
// is muted. Every output the game opens (the first and any reopened after a
// loss) gets it.
void applyListenerGain(const AlOutput& out);

// Before the output changes, with its context current: deletes every buffer
// entry's source first (OpenAL keeps a buffer that a source still holds),
// then each sound's AL buffer once, remembering how each source was set.
// False when OpenAL reported an error on the way.
bool letGoOfOutput(AlOutput* out);

// Opens the default output in place of a lost one. Every buffer entry gets a
// source of the same volume, rate and pan on it, and its sound an empty AL
// buffer; all of them stay lost until restored and refilled. False, with the
// old output kept, when no output opens. beforeClosing (for tests) runs after
// the old output was let go of, while its context is still current, and is
// told whether that went without an AL error.
bool reopenOutput(AlOutput* out, void (*beforeClosing)(AlOutput* old, bool letGoCleanly) = nullptr);

// Makes `context` current on `alDevice` and wraps both in the device object;
// on failure closes them. *output (when asked for) is the output made.
HResult wrapOutput(ALCdevice* alDevice, ALCcontext* context, SoundDevice** device,
                   AlOutput** output = nullptr);

}  // namespace openal
