#pragma once

#include "audio/hresult.h"

// The sound start-up of window creation: opens the sound device with the
// priority level, sets the primary format (10 channels, 22050 Hz, 16 bits),
// creates the pickup sound (10 buffers), the thrust sound and the music (1
// buffer each) from their files (dataFiles::pickupSound, thrustSound and
// musicSound), and starts the music looping.
// Returns a failure only when the device or the primary format fails: the
// caller then shows the start-up error and ends the program. A sound file that
// cannot be loaded is reported on stderr and its sound stays null.
HResult startAudio();

// The end of the game: deletes the three sounds and releases the sound
// device, which closes the output. Safe to call when audio never started.
void stopAudio();
