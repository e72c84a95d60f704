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

}  // namespace

WaveCapture readWaveCapture(const std::string& path)
{
    WaveCapture w;
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> f((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (f.size() < 44 || std::memcmp(f.data(), "RIFF", 4) != 0 || std::memcmp(f.data() + 8, "WAVEfmt ", 8) != 0 ||
        std::memcmp(f.data() + 36, "data", 4) != 0) {
        w.error = "not the runner's RIFF WAVE layout: " + path;
        return w;
    }
    const std::uint32_t dataBytes = le32(&f[40]);
    if (le32(&f[4]) != f.size() - 8 || dataBytes != f.size() - 44) {
        w.error = "RIFF or data size does not match the file: " + path;
        return w;
    }
    w.channels = le16(&f[22]);
    w.rate = static_cast<int>(le32(&f[24]));
    if (le32(&f[16]) != 16 || le16(&f[20]) != formatPcm || le16(&f[34]) != 16 || w.channels < 1 ||
        le16(&f[32]) != 2 * w.channels || dataBytes % (2u * w.channels) != 0) {
        w.error = "not 16-bit PCM: " + path;
        return w;
    }
    const std::size_t frames = dataBytes / (2u * w.channels);
    w.mono.resize(frames);
    w.samples.resize(frames * w.channels);
    for (std::size_t i = 0; i < frames; ++i) {
        double sum = 0.0;
        for (int c = 0; c < w.channels; ++c) {
            const double v = static_cast<std::int16_t>(le16(&f[44 + (i * w.channels + c) * 2])) / 32768.0;
            w.samples[i * w.channels + c] = static_cast<float>(v);
            sum += v;
        }
        w.mono[i] = static_cast<float>(sum / w.channels);
    }
    w.ok = true;
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

std::size_t firstDifference(const std::vector<float>& a, const std::vector<float>& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] != b[i]) {
            return i;
        }
    }
    return n;
}

std::size_t lastDifference(const std::vector<float>& a, const std::vector<float>& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = n; i-- > 0;) {
        if (a[i] != b[i]) {
            return i;
        }
    }
    return n;
}

std::vector<float> difference(const std::vector<float>& a, const std::vector<float>& b)
{
    std::vector<float> out(std::min(a.size(), b.size()));
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = a[i] - b[i];
    }
    return out;
}

std::vector<Recorded> recordScripts(const std::vector<std::string>& scripts, const std::string& name)
{
    std::vector<RunOptions> options(scripts.size());
    for (std::size_t i = 0; i < scripts.size(); ++i) {
        options[i].size = "32x32";
        options[i].audioOut = tempPath(name + std::to_string(i) + ".wav");
    }
    std::vector<RunResult> runs = runScripts(scripts, options);
    std::vector<Recorded> out;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        out.push_back(Recorded{std::move(runs[i]), readWaveCapture(options[i].audioOut)});
    }
    return out;
}
