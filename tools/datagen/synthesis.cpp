#include "synthesis.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr float pi = std::numbers::pi_v<float>;

// Band-limited step correction for a discontinuity at phase 0.
float polyBlep(float phase, float step)
{
    if (phase < step) {
        const float t = phase / step;
        return t + t - t * t - 1.0f;
    }
    if (phase > 1.0f - step) {
        const float t = (phase - 1.0f) / step;
        return t * t + t + t + 1.0f;
    }
    return 0.0f;
}

}  // namespace

float noteFrequency(float note)
{
    return 440.0f * std::exp2((note - 69.0f) / 12.0f);
}

float Phase::advance(float frequency)
{
    const float current = static_cast<float>(value);
    value += static_cast<double>(frequency) / audioRate;
    value -= std::floor(value);
    return current;
}

float sineWave(float phase)
{
    return std::sin(2.0f * pi * phase);
}

float triangleWave(float phase)
{
    return 1.0f - 4.0f * std::fabs(phase - 0.5f);
}

float sawWave(float phase, float step)
{
    return 2.0f * phase - 1.0f - polyBlep(phase, step);
}

float pulseWave(float phase, float step, float width)
{
    float shifted = phase + (1.0f - width);
    shifted -= std::floor(shifted);
    const float naive = phase < width ? 1.0f : -1.0f;
    // Less the mean (2 width - 1), so a narrow pulse carries no offset.
    return naive + polyBlep(phase, step) - polyBlep(shifted, step) + 1.0f - 2.0f * width;
}

float smoothStep01(float t)
{
    if (t <= 0.0f) {
        return 0.0f;
    }
    if (t >= 1.0f) {
        return 1.0f;
    }
    return 0.5f - 0.5f * std::cos(pi * t);
}

float Envelope::at(float time, float held) const
{
    auto level = [this](float t) {
        if (t < attack) {
            return smoothStep01(t / attack);
        }
        const float d = (t - attack) / std::max(decay, 1e-4f);
        return sustain + (1.0f - sustain) * std::exp(-4.0f * d);
    };
    if (time < 0.0f) {
        return 0.0f;
    }
    if (time < held) {
        return level(time);
    }
    const float released = time - held;
    if (released >= release) {
        return 0.0f;
    }
    return level(held) * (1.0f - smoothStep01(released / release));
}

OnePole OnePole::lowPass(float cutoff)
{
    OnePole f;
    f.coefficient = 1.0f - std::exp(-2.0f * pi * cutoff / audioRate);
    return f;
}

float OnePole::process(float x)
{
    state += coefficient * (x - state);
    return state;
}

namespace {

struct Cookbook {
    float cosW;
    float alpha;
};

Cookbook cookbook(float cutoff, float q)
{
    const float w = 2.0f * pi * std::min(cutoff, audioRate * 0.45f) / audioRate;
    return {std::cos(w), std::sin(w) / (2.0f * q)};
}

Biquad normalised(float b0, float b1, float b2, float a0, float a1, float a2)
{
    Biquad f;
    f.b0 = b0 / a0;
    f.b1 = b1 / a0;
    f.b2 = b2 / a0;
    f.a1 = a1 / a0;
    f.a2 = a2 / a0;
    return f;
}

}  // namespace

Biquad Biquad::lowPass(float cutoff, float q)
{
    const auto [c, alpha] = cookbook(cutoff, q);
    return normalised((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Biquad::highPass(float cutoff, float q)
{
    const auto [c, alpha] = cookbook(cutoff, q);
    return normalised((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Biquad::bandPass(float cutoff, float q)
{
    const auto [c, alpha] = cookbook(cutoff, q);
    return normalised(alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha);
}

void Biquad::retuneLowPass(float cutoff, float q)
{
    const Biquad fresh = lowPass(cutoff, q);
    b0 = fresh.b0;
    b1 = fresh.b1;
    b2 = fresh.b2;
    a1 = fresh.a1;
    a2 = fresh.a2;
}

float Biquad::process(float x)
{
    const float y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
}

PanGains panGains(float pan)
{
    const float angle = (std::clamp(pan, -1.0f, 1.0f) + 1.0f) * pi * 0.25f;
    return {std::cos(angle), std::sin(angle)};
}

std::vector<std::int16_t> toPcm16(const std::vector<float>& samples, float peak)
{
    float largest = 0.0f;
    for (float s : samples) {
        largest = std::max(largest, std::fabs(s));
    }
    return scaledToPcm16(samples, largest > 0.0f ? peak * 32767.0f / largest : 0.0f);
}

float decibels(float db)
{
    return std::pow(10.0f, db / 20.0f);
}
