#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The mix OpenAL Soft's wave backend wrote, read back as one mono track.
// The backend writes its header when it starts and fixes the sizes only when
// the device is closed, which the game never does: sizes of 0xFFFFFFFF (or
// past the end) mean "up to the end of the file".
struct WaveCapture {
    bool ok = false;
    std::string error;
    int rate = 0;
    int channels = 0;
    std::vector<float> mono;  // the channels averaged

    double seconds() const { return rate > 0 ? static_cast<double>(mono.size()) / rate : 0.0; }
    std::size_t at(double second) const;  // sample index, clamped to the track
};

WaveCapture readWaveCapture(const std::string& path);

// The root mean square of samples [from, to) of a track, in dB full scale
// (−200 for silence).
double rmsDb(const std::vector<float>& track, std::size_t from, std::size_t to);

// A second-order low-pass (Butterworth) of the whole track.
std::vector<float> lowPass(const std::vector<float>& track, int rate, double cutoff);

// Power at one frequency over samples [from, to): the mean over blocks of
// 2048 samples (about 46 ms at 44.1 kHz) of a Hann-windowed Goertzel filter.
double tonePower(const std::vector<float>& track, std::size_t from, std::size_t to, int rate, double frequency);

// The index of the first sample louder than the threshold (the track's size
// when there is none).
std::size_t firstSound(const std::vector<float>& track, float threshold);

// The lag (in samples) at which b lines up with a, that is a[i] ≈ b[i + lag],
// found from the first sound in each and refined by the smallest difference
// over the window [from, to) of a. Both tracks must start with the same sound.
long alignTracks(const std::vector<float>& a, const std::vector<float>& b, std::size_t from, std::size_t to);

// a[i] − b[i + lag], zero where b has no sample.
std::vector<float> difference(const std::vector<float>& a, const std::vector<float>& b, long lag);
