#pragma once

// The whole mix is raised by this much on its way out (the listener's gain on
// OpenAL). The game's own volumes stay as they are (music 0, full thrust
// -20 dB, the chime -30 dB); the data generator masters the sound files for
// them and for this gain (tools/datagen/mastering.h), so this is the one
// place it is written.
inline constexpr float outputGainDb = 23.0f;
