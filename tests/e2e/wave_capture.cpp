#include "wave_capture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

std::uint32_t le32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

constexpr std::uint16_t formatPcm = 1;
constexpr std::uint16_t formatFloat = 3;
constexpr std::uint16_t formatExtensible = 0xFFFE;

}  // namespace

std::size_t WaveCapture::at(double second) const
{
    if (second <= 0.0) {
        return 0;
    }
    return std::min(mono.size(), static_cast<std::size_t>(second * rate));
}

WaveCapture readWaveCapture(const std::string& path)
{
    WaveCapture w;
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> f((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (f.size() < 12 || std::memcmp(f.data(), "RIFF", 4) != 0 || std::memcmp(f.data() + 8, "WAVE", 4) != 0) {
        w.error = "not a RIFF WAVE file: " + path;
        return w;
    }
    std::uint16_t format = 0;
    int bits = 0;
    std::size_t at = 12;
    while (at + 8 <= f.size()) {
        const std::uint32_t size = le32(&f[at + 4]);
        const std::size_t body = at + 8;
        if (std::memcmp(&f[at], "fmt ", 4) == 0 && size >= 16 && body + 16 <= f.size()) {
            format = le16(&f[body]);
            w.channels = le16(&f[body + 2]);
            w.rate = static_cast<int>(le32(&f[body + 4]));
            bits = le16(&f[body + 14]);
            if (format == formatExtensible && size >= 40 && body + 40 <= f.size()) {
                format = le16(&f[body + 24]);  // the sub-format GUID starts with the format tag
            }
        } else if (std::memcmp(&f[at], "data", 4) == 0) {
            std::size_t bytes = f.size() - body;
            if (size != 0xFFFFFFFFu && size <= bytes) {
                bytes = size;
            }
            const int sampleBytes = bits / 8;
            if (w.channels < 1 || w.rate < 1 || !((format == formatFloat && bits == 32) ||
                                                  (format == formatPcm && bits == 16))) {
                w.error = "unexpected sample format";
                return w;
            }
            const std::size_t frames = bytes / (static_cast<std::size_t>(sampleBytes) * w.channels);
            w.mono.resize(frames);
            for (std::size_t i = 0; i < frames; ++i) {
                double sum = 0.0;
                for (int c = 0; c < w.channels; ++c) {
                    const std::uint8_t* p = &f[body + (i * w.channels + c) * sampleBytes];
                    if (format == formatFloat) {
                        float v;
                        std::memcpy(&v, p, 4);
                        sum += v;
                    } else {
                        sum += static_cast<std::int16_t>(le16(p)) / 32768.0;
                    }
                }
                w.mono[i] = static_cast<float>(sum / w.channels);
            }
            w.ok = true;
            return w;
        }
        if (size == 0xFFFFFFFFu) {
            break;
        }
        at = body + size + (size & 1u);
    }
    w.error = "no data chunk in " + path;
    return w;
}

double rmsDb(const std::vector<float>& track, std::size_t from, std::size_t to)
{
    to = std::min(to, track.size());
    if (from >= to) {
        return -200.0;
    }
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) {
        sum += static_cast<double>(track[i]) * track[i];
    }
    const double mean = sum / static_cast<double>(to - from);
    return mean > 1e-20 ? 10.0 * std::log10(mean) : -200.0;
}

std::vector<float> lowPass(const std::vector<float>& track, int rate, double cutoff)
{
    // Bilinear-transform biquad, Q = 1/sqrt(2).
    const double k = std::tan(3.14159265358979 * cutoff / rate);
    const double q = 1.0 / std::sqrt(2.0);
    const double norm = 1.0 / (1.0 + k / q + k * k);
    const double b0 = k * k * norm;
    const double b1 = 2.0 * b0;
    const double a1 = 2.0 * (k * k - 1.0) * norm;
    const double a2 = (1.0 - k / q + k * k) * norm;
    std::vector<float> out(track.size());
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (std::size_t i = 0; i < track.size(); ++i) {
        const double x = track[i];
        const double y = b0 * x + b1 * x1 + b0 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        out[i] = static_cast<float>(y);
    }
    return out;
}

double tonePower(const std::vector<float>& track, std::size_t from, std::size_t to, int rate, double frequency)
{
    // Hann-windowed Goertzel over consecutive blocks of 2048 samples, the
    // powers averaged: a tone that starts and stops many times at random
    // phases counts by its energy, not by how its pieces happen to line up.
    constexpr std::size_t block = 2048;
    to = std::min(to, track.size());
    const double coefficient = 2.0 * std::cos(2.0 * 3.14159265358979 * frequency / rate);
    double total = 0.0;
    int blocks = 0;
    for (std::size_t start = from; start + block <= to; start += block) {
        double s1 = 0.0, s2 = 0.0;
        for (std::size_t i = 0; i < block; ++i) {
            const double hann = 0.5 - 0.5 * std::cos(2.0 * 3.14159265358979 * i / block);
            const double s = hann * track[start + i] + coefficient * s1 - s2;
            s2 = s1;
            s1 = s;
        }
        total += (s1 * s1 + s2 * s2 - coefficient * s1 * s2) / (double(block) * block);
        ++blocks;
    }
    return blocks > 0 ? total / blocks : 0.0;
}

std::size_t firstSound(const std::vector<float>& track, float threshold)
{
    for (std::size_t i = 0; i < track.size(); ++i) {
        if (std::fabs(track[i]) > threshold) {
            return i;
        }
    }
    return track.size();
}

namespace {

double differenceEnergy(const std::vector<float>& a, const std::vector<float>& b, long lag, std::size_t from,
                        std::size_t to)
{
    double sum = 0.0;
    for (std::size_t i = from; i < to && i < a.size(); ++i) {
        const long j = static_cast<long>(i) + lag;
        const double other = j >= 0 && static_cast<std::size_t>(j) < b.size() ? b[static_cast<std::size_t>(j)] : 0.0;
        const double d = a[i] - other;
        sum += d * d;
    }
    return sum;
}

}  // namespace

long alignTracks(const std::vector<float>& a, const std::vector<float>& b, std::size_t from, std::size_t to)
{
    const long guess = static_cast<long>(firstSound(b, 1e-4f)) - static_cast<long>(firstSound(a, 1e-4f));
    long best = guess;
    double bestEnergy = differenceEnergy(a, b, guess, from, to);
    for (long lag = guess - 256; lag <= guess + 256; ++lag) {
        const double e = differenceEnergy(a, b, lag, from, to);
        if (e < bestEnergy) {
            bestEnergy = e;
            best = lag;
        }
    }
    return best;
}

std::vector<float> difference(const std::vector<float>& a, const std::vector<float>& b, long lag)
{
    std::vector<float> out(a.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        const long j = static_cast<long>(i) + lag;
        const float other = j >= 0 && static_cast<std::size_t>(j) < b.size() ? b[static_cast<std::size_t>(j)] : 0.0f;
        out[i] = a[i] - other;
    }
    return out;
}
