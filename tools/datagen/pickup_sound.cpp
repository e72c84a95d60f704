// The pickup chime: two quick glassy notes a fifth apart (E5 then B5 as
// written; the game plays the file at 50000 Hz, which lifts them past an
// octave and shortens the whole chime to about a tenth of a second). Each
// note is a sine with two soft overtones under a fast raised-cosine attack
// and an exponential decay; the last 20 ms fade to exact silence.

#include <cmath>

#include "file_makers.h"
#include "mastering.h"
#include "synthesis.h"

namespace {

constexpr float duration = 0.26f;
constexpr float fadeOut = 0.02f;

float chimeNote(float time, float frequency)
{
    if (time < 0.0f) {
        return 0.0f;
    }
    const float attack = smoothStep01(time / 0.003f);
    const float body = std::exp(-time / 0.07f);
    const float shimmer = std::exp(-time / 0.025f);
    const float w = 2.0f * 3.14159265f * frequency * time;
    return attack * (body * std::sin(w) + 0.35f * shimmer * std::sin(2.0f * w) +
                     0.12f * shimmer * std::sin(4.2f * w));
}

}  // namespace

std::vector<std::int16_t> makePickupSound()
{
    const int count = static_cast<int>(duration * audioRate);
    std::vector<float> samples(count);
    for (int i = 0; i < count; ++i) {
        const float time = static_cast<float>(i) / audioRate;
        float s =
            chimeNote(time, noteFrequency(76)) + 0.9f * chimeNote(time - 0.05f, noteFrequency(83));
        s *= 1.0f - smoothStep01((time - (duration - fadeOut)) / fadeOut);
        samples[i] = s;
    }
    // Played 30 dB down: the file peaks just under full scale.
    return toPcm16(samples,
                   decibels(mastering::fileLevelDb(mastering::chimeMixPeakDb, -30.0f, true)));
}
