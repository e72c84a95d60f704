#include "mastering.h"

#include "synthesis.h"

#include <algorithm>
#include <cmath>

namespace {

// Mean of each value and the `window` values either side of it, round the
// loop.
std::vector<double> circularAverage(const std::vector<double>& values, int window)
{
    const long n = static_cast<long>(values.size());
    std::vector<double> sums(values.size() + 1, 0.0);
    for (long i = 0; i < n; ++i) {
        sums[i + 1] = sums[i] + values[i];
    }
    const long span = std::min<long>(2L * window + 1, n);
    auto sumFrom = [&](long start) {  // `span` values from `start`, wrapping
        start = ((start % n) + n) % n;
        const long end = start + span;
        if (end <= n) {
            return sums[end] - sums[start];
        }
        return sums[n] - sums[start] + sums[end - n];
    };
    std::vector<double> out(values.size());
    for (long i = 0; i < n; ++i) {
        out[i] = sumFrom(i - span / 2) / static_cast<double>(span);
    }
    return out;
}

}  // namespace

void levelLoop(std::vector<float>& samples, int channels, int window, float ratio)
{
    const std::size_t frames = samples.size() / static_cast<std::size_t>(channels);
    if (frames == 0 || ratio <= 1.0f) {
        return;
    }
    std::vector<double> power(frames, 0.0);
    double total = 0.0;
    for (std::size_t f = 0; f < frames; ++f) {
        for (int c = 0; c < channels; ++c) {
            const double s = samples[f * channels + c];
            power[f] += s * s / channels;
        }
        total += power[f];
    }
    const double mean = total / static_cast<double>(frames);
    if (mean <= 0.0) {
        return;
    }
    // Averaged twice: a triangular window, so the gain moves smoothly.
    const std::vector<double> smooth = circularAverage(circularAverage(power, window), window);
    // gain = (level / mean level)^(1/ratio - 1), on power: half the exponent.
    const double exponent = 0.5 * (1.0 / ratio - 1.0);
    for (std::size_t f = 0; f < frames; ++f) {
        const double relative = std::max(smooth[f] / mean, 1e-4);
        const auto gain = static_cast<float>(std::pow(relative, exponent));
        for (int c = 0; c < channels; ++c) {
            samples[f * channels + c] *= gain;
        }
    }
}

std::vector<std::int16_t> toPcm16AtRms(const std::vector<float>& samples, float rms)
{
    double total = 0.0;
    for (float s : samples) {
        total += static_cast<double>(s) * s;
    }
    const double current =
        samples.empty() ? 0.0 : std::sqrt(total / static_cast<double>(samples.size()));
    return scaledToPcm16(samples, current > 0.0 ? rms * 32768.0 / current : 0.0);
}
