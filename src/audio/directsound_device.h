#pragma once

// The sound device on DirectSound 8, the Windows build's device: each buffer
// entry is a DirectSound secondary buffer made from the sound's WAV format,
// duplicates share the original's memory, and the mix format is set on the
// primary buffer. The mix is raised by the output gain (audio/output_gain.h)
// partly in the samples, partly by the buffers' volume. DirectSound itself
// mutes the buffers while the game's window is not the active one.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include "audio/sound_device.h"

HResult createDirectSoundDevice(SoundDevice** device);

// The window the sound belongs to (DirectSound's cooperative level is set
// for it). The Windows host names its window before the sound starts; the
// shell itself passes no window.
void setDirectSoundWindow(HWND window);

// Makes the DirectSound object: DirectSoundCreate8 unless a test installs
// its own (null puts DirectSoundCreate8 back).
using DirectSoundCreateFunction = HRESULT(WINAPI*)(LPCGUID device, LPDIRECTSOUND8* out, LPUNKNOWN outer);
void setDirectSoundCreate(DirectSoundCreateFunction create);

// The DirectSound buffer behind one of this device's buffer entries (null for
// any other), for tests and diagnostics.
IDirectSoundBuffer* directSoundBufferOf(SoundBuffer* buffer);
