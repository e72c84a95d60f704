// The engine loop: one second of low rumble (noise through two low-pass
// stages), a throbbing hum on 55 Hz with a few harmonics and a thin jet
// hiss. Every tone and wobble makes a whole number of cycles per second and
// every filter runs round the loop twice, so the end flows into the start.

#include <cmath>

#include "file_makers.h"
#include "mastering.h"
#include "noise.h"
#include "synthesis.h"

namespace {

constexpr int length = audioRate;  // one second
constexpr float twoPi = 6.2831853f;

}  // namespace

std::vector<std::int16_t> makeThrustSound()
{
    Random random(0x7A2057u);
    std::vector<float> rumble(length);
    std::vector<float> hiss(length);
    for (int i = 0; i < length; ++i) {
        rumble[i] = random.signedUnit();
        hiss[i] = random.signedUnit();
    }
    filterLoop(rumble, Biquad::lowPass(140.0f, 0.9f));
    filterLoop(rumble, OnePole::lowPass(400.0f));
    filterLoop(hiss, Biquad::bandPass(1800.0f, 0.7f));

    std::vector<float> mix(length);
    for (int i = 0; i < length; ++i) {
        const float time = static_cast<float>(i) / audioRate;
        // Whole cycles per second: 55, 110, 165 Hz hum; 6 and 11 Hz throb.
        const float throb = 1.0f + 0.25f * std::sin(twoPi * 6.0f * time) +
                            0.12f * std::sin(twoPi * 11.0f * time + 1.0f);
        const float hum = std::sin(twoPi * 55.0f * time) +
                          0.5f * std::sin(twoPi * 110.0f * time + 0.7f) +
                          0.25f * std::sin(twoPi * 165.0f * time + 2.1f);
        mix[i] = throb * (2.6f * rumble[i] + 0.22f * hum) + 0.16f * hiss[i];
    }
    // Full thrust plays 20 dB down.
    return toPcm16AtRms(mix,
                        decibels(mastering::fileLevelDb(mastering::engineMixRmsDb, -20.0f, true)));
}
