#pragma once

// The instruments of "Drift". Each renders one note as mono samples at
// audioRate, starting at its attack and ending in silence; `held` is how long
// the note is held, in samples, before its release.

#include <vector>

struct Random;

namespace music {

// Warm pad: two detuned saws and a sine an octave down, low-passed.
std::vector<float> pad(float pitch, int held);
// Lead: a soft sine-and-triangle voice with a delayed vibrato.
std::vector<float> lead(float pitch, int held);
// Arpeggio pluck: a narrow pulse through a closing low-pass.
std::vector<float> pluck(float pitch);
// Bass: a round sine with a little low-passed saw for edge.
std::vector<float> bass(float pitch, int held);

// Drums, at a velocity from 0 to 1; snare and hat draw their noise from
// `random`.
std::vector<float> kick(float velocity);
std::vector<float> snare(float velocity, Random& random);
std::vector<float> hat(float velocity, Random& random);

}  // namespace music
