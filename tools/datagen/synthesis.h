#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// The sample rate of every sound the game plays.
inline constexpr int audioRate = 22050;

// Frequency in Hz of a MIDI note number (69 = A4 = 440 Hz); fractions bend.
float noteFrequency(float note);

// A running oscillator phase in [0, 1).
struct Phase {
    double value = 0.0;

    // Returns the phase before stepping by frequency / audioRate.
    float advance(float frequency);
};

float sineWave(float phase);
float triangleWave(float phase);
// Band-limited saw and pulse (polyBLEP), both without offset;
// step = frequency / audioRate.
float sawWave(float phase, float step);
float pulseWave(float phase, float step, float width);

// Attack, decay to a sustain level, hold until `held` seconds, then release.
// Attack and release follow raised-cosine curves, so they start and end at
// exactly zero without a click.
struct Envelope {
    float attack = 0.01f;
    float decay = 0.1f;
    float sustain = 1.0f;
    float release = 0.1f;

    float at(float time, float held) const;
    float length(float held) const { return held + release; }
};

// Half a raised cosine: 0 at t <= 0, 1 at t >= 1.
float smoothStep01(float t);

// One-pole low-pass filter.
struct OnePole {
    float coefficient = 1.0f;
    float state = 0.0f;

    static OnePole lowPass(float cutoff);
    float process(float x);
};

// Second-order filter in direct form I (RBJ cookbook coefficients).
struct Biquad {
    float b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    float x1 = 0, x2 = 0, y1 = 0, y2 = 0;

    static Biquad lowPass(float cutoff, float q);
    static Biquad highPass(float cutoff, float q);
    static Biquad bandPass(float cutoff, float q);
    // Recomputes low-pass coefficients while keeping the filter's memory.
    void retuneLowPass(float cutoff, float q);
    float process(float x);
};

// Runs a stateful filter over a looping sound twice, keeping the second
// pass, so the filter's memory at the start is what the end leaves behind
// and the loop joins without a step.
template <typename Filter>
void filterLoop(std::vector<float>& samples, Filter filter)
{
    for (float s : samples) {
        filter.process(s);
    }
    for (float& s : samples) {
        s = filter.process(s);
    }
}

// Left and right gains for a pan position from -1 (left) to 1 (right),
// constant power.
struct PanGains {
    float left;
    float right;
};
PanGains panGains(float pan);

// Each sample times `scale`, rounded to 16 bits and held to ±32767. The
// product is taken in the scale's own type (float or double).
template <typename Scale>
std::vector<std::int16_t> scaledToPcm16(const std::vector<float>& samples, Scale scale)
{
    std::vector<std::int16_t> out;
    out.reserve(samples.size());
    for (float s : samples) {
        const long v = std::lround(s * scale);
        out.push_back(static_cast<std::int16_t>(std::clamp(v, -32767L, 32767L)));
    }
    return out;
}

// Scales the samples so that the largest magnitude becomes `peak` (a
// fraction of full scale) and rounds them to 16 bits.
std::vector<std::int16_t> toPcm16(const std::vector<float>& samples, float peak);

// A full-scale fraction from decibels (-1 dBFS = 0.891).
float decibels(float db);
