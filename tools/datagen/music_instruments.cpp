#include "music_instruments.h"

#include <cmath>

#include "noise.h"
#include "synthesis.h"

namespace music {

namespace {

constexpr float seconds(int samples)
{
    return static_cast<float>(samples) / audioRate;
}

}  // namespace

std::vector<float> pad(float pitch, int held)
{
    const Envelope envelope{0.45f, 1.0f, 0.8f, 1.1f};
    const int length = held + static_cast<int>(envelope.release * audioRate);
    std::vector<float> out(length);
    Phase a, b, sub;
    Biquad filter = Biquad::lowPass(950.0f, 0.7f);
    const float f = noteFrequency(pitch);
    for (int i = 0; i < length; ++i) {
        const float fa = f * 1.0035f;
        const float fb = f * 0.9965f;
        const float s = sawWave(a.advance(fa), fa / audioRate) +
                        sawWave(b.advance(fb), fb / audioRate) +
                        0.6f * sineWave(sub.advance(f * 0.5f));
        out[i] = filter.process(s) * envelope.at(seconds(i), seconds(held));
    }
    return out;
}

std::vector<float> lead(float pitch, int held)
{
    const Envelope envelope{0.03f, 0.35f, 0.7f, 0.3f};
    const int length = held + static_cast<int>(envelope.release * audioRate);
    std::vector<float> out(length);
    Phase main, detuned, vibrato;
    Biquad filter = Biquad::lowPass(2800.0f, 0.7f);
    const float f = noteFrequency(pitch);
    for (int i = 0; i < length; ++i) {
        const float t = seconds(i);
        const float depth = 0.006f * smoothStep01((t - 0.25f) / 0.4f);
        const float bend = 1.0f + depth * sineWave(vibrato.advance(5.2f));
        const float s = 0.75f * sineWave(main.advance(f * bend)) +
                        0.35f * triangleWave(detuned.advance(f * bend * 1.003f)) +
                        0.12f * sineWave(static_cast<float>(std::fmod(main.value * 2.0, 1.0)));
        out[i] = filter.process(s) * envelope.at(t, seconds(held));
    }
    return out;
}

std::vector<float> pluck(float pitch)
{
    const int length = static_cast<int>(0.6f * audioRate);
    std::vector<float> out(length);
    Phase phase;
    Biquad filter = Biquad::lowPass(3000.0f, 1.2f);
    const float f = noteFrequency(pitch);
    for (int i = 0; i < length; ++i) {
        const float t = seconds(i);
        if (i % 32 == 0) {
            filter.retuneLowPass(500.0f + 2800.0f * std::exp(-t / 0.07f), 1.2f);
        }
        const float amp = smoothStep01(t / 0.004f) * std::exp(-t / 0.18f) *
                          (1.0f - smoothStep01((t - 0.5f) / 0.1f));
        out[i] = filter.process(pulseWave(phase.advance(f), f / audioRate, 0.3f)) * amp;
    }
    return out;
}

std::vector<float> bass(float pitch, int held)
{
    const Envelope envelope{0.008f, 0.25f, 0.75f, 0.08f};
    const int length = held + static_cast<int>(envelope.release * audioRate);
    std::vector<float> out(length);
    Phase phase;
    Biquad filter = Biquad::lowPass(420.0f, 0.8f);
    const float f = noteFrequency(pitch);
    for (int i = 0; i < length; ++i) {
        const float p = phase.advance(f);
        const float s = sineWave(p) + 0.45f * filter.process(sawWave(p, f / audioRate));
        out[i] = s * envelope.at(seconds(i), seconds(held));
    }
    return out;
}

std::vector<float> kick(float velocity)
{
    const int length = static_cast<int>(0.4f * audioRate);
    std::vector<float> out(length);
    Phase phase;
    for (int i = 0; i < length; ++i) {
        const float t = seconds(i);
        const float f = 46.0f + 120.0f * std::exp(-t / 0.035f);
        const float amp = std::exp(-t / 0.16f) * (1.0f - smoothStep01((t - 0.3f) / 0.1f));
        out[i] = sineWave(phase.advance(f)) * amp * velocity;
    }
    return out;
}

std::vector<float> snare(float velocity, Random& random)
{
    const int length = static_cast<int>(0.35f * audioRate);
    std::vector<float> out(length);
    Phase tone;
    Biquad band = Biquad::bandPass(1900.0f, 0.9f);
    for (int i = 0; i < length; ++i) {
        const float t = seconds(i);
        const float fade = smoothStep01(t / 0.002f) * (1.0f - smoothStep01((t - 0.25f) / 0.1f));
        const float noise = band.process(random.signedUnit()) * std::exp(-t / 0.08f);
        const float body = 0.5f * sineWave(tone.advance(185.0f)) * std::exp(-t / 0.045f);
        out[i] = (1.6f * noise + body) * fade * velocity;
    }
    return out;
}

std::vector<float> hat(float velocity, Random& random)
{
    const int length = static_cast<int>(0.12f * audioRate);
    std::vector<float> out(length);
    Biquad high = Biquad::highPass(6500.0f, 0.7f);
    for (int i = 0; i < length; ++i) {
        const float t = seconds(i);
        const float amp = smoothStep01(t / 0.001f) * std::exp(-t / 0.028f) *
                          (1.0f - smoothStep01((t - 0.09f) / 0.03f));
        out[i] = high.process(random.signedUnit()) * amp * velocity;
    }
    return out;
}

}  // namespace music
