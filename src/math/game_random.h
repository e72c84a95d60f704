#pragma once

#include <cstdint>

// The game's one pseudo-random generator: a linear congruential generator whose
// state starts at 1 and is never reseeded, so every run draws the same
// sequence. The level colours, the sky, the small globes, the sparks and the
// chime's choice of a busy buffer all draw from it, and the order of draws
// decides what each of them gets (docs/design.md lists every place that
// draws, in the order of a frame).
struct GameRandom {
    std::uint32_t randState = 1;

    // Advances the state and returns a value in 0..32767.
    int next()
    {
        randState = randState * 214013u + 2531011u;
        return static_cast<int>((randState >> 16) & 0x7FFFu);
    }
};

// The one sequence the whole game draws from.
GameRandom& gameRandom();

// The next value of the game's sequence, 0..32767.
inline int gameRand() { return gameRandom().next(); }

// A random value in [0, 1]: a gameRand result times 1/32767.
inline float randomUnit() { return static_cast<float>(gameRand()) * 3.0518509e-05f; }
