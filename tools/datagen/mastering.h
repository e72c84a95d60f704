#pragma once

#include <cstdint>
#include <vector>

#include "audio/output_gain.h"

// How loud each sound file is made, so that the game's fixed volumes give a
// balanced mix.
//
// The game plays the music at full volume, the engine at most 20 dB down
// (volume -2000) and the pickup chime 30 dB down (-3000). OpenAL Soft plays
// a stereo file as it is and spreads a centred mono one over both output
// channels 4.5 dB down on each; the sound device then raises the whole mix by
// its output gain (audio/output_gain.h). With the chime file peaking just
// under full scale, the chime's gain fixes everything else: the music has to sit about 40 dB below
// the chime's peak in the files so that, in the mix, every chime rises at
// least 6 dB over the music around it; the output gain then lifts the
// music to a comfortable level (and stays under OpenAL Soft's cap of +24 dB).
//
// The levels below are what the player hears, in dB full scale on each
// channel of the mix. The music is evened out first (its quiet opening,
// heard on the title screen, comes within about 2.5 dB of the rest), so the
// title screen's music is about -23.7 dBFS and its loudest second about
// -20.3. Nothing reaches -1 dBFS, not even chimes over full thrust and the
// loudest of the music.
namespace mastering {

// What OpenAL Soft's stereo mix does to a centred mono source, per channel.
inline constexpr float centredMonoDb = -4.5f;

inline constexpr float musicMixRmsDb = -21.3f;   // RMS over the whole loop
inline constexpr float engineMixRmsDb = -23.3f;  // RMS at full thrust
inline constexpr float chimeMixPeakDb = -12.8f;  // the chime's peak

// The level in the file (dBFS) that gives `mixDb` in the mix when the game
// plays the file at `volumeDb`.
constexpr float fileLevelDb(float mixDb, float volumeDb, bool mono)
{
    return mixDb - volumeDb - (mono ? centredMonoDb : 0.0f) - outputGainDb;
}

}  // namespace mastering

// Evens out the loudness of a looping piece: a slow levelling compressor of
// the given ratio on its power averaged over about `window` samples either
// side, working round the loop, so quiet passages come up toward the loud
// ones without pumping and the loop still joins without a step. The samples
// are interleaved with `channels` channels.
void levelLoop(std::vector<float>& samples, int channels, int window, float ratio);

// Scales the samples to an RMS of `rms` (a fraction of full scale) and
// rounds them to 16 bits.
std::vector<std::int16_t> toPcm16AtRms(const std::vector<float>& samples, float rms);
