#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "runner_process.h"

// The runner's recording (--audio-out), read back: 16-bit PCM, the channels
// averaged into one track of floats (full scale ±1). The file must be exactly
// what the runner promises: one "fmt " and one "data" chunk whose sizes match
// the file.
struct WaveCapture {
    bool ok = false;
    std::string error;
    int rate = 0;
    int channels = 0;
    std::vector<float> mono;
    std::vector<float> samples;  // as recorded: the channels interleaved
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

// The index of the first sample that differs between two tracks (the shorter
// size when none does), and of the last (the shorter size when none does).
std::size_t firstDifference(const std::vector<float>& a, const std::vector<float>& b);
std::size_t lastDifference(const std::vector<float>& a, const std::vector<float>& b);

// a[i] − b[i] over the shorter of the two.
std::vector<float> difference(const std::vector<float>& a, const std::vector<float>& b);

// Scripts run side by side at 32×32, each recorded to its own file named
// after `name`, with their recordings read back.
struct Recorded {
    RunResult run;
    WaveCapture wave;
};
std::vector<Recorded> recordScripts(const std::vector<std::string>& scripts, const std::string& name);
