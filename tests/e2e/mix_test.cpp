// The balance of the mix as the player hears it, on the runner's recording
// (--audio-out: 44.1 kHz stereo, 735 sample frames after every frame). Levels
// are in dB full scale over both channels' samples.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <regex>
#include <string>

#include "data_files.h"
#include "data_folder.h"
#include "runner_process.h"
#include "wave_capture.h"

namespace {

constexpr std::size_t samplesPerFrame = 735;
constexpr std::size_t rate = 44100;

// The first sample frame of frame f (frames count from 1).
constexpr std::size_t frameStart(long f)
{
    return static_cast<std::size_t>(f - 1) * samplesPerFrame;
}

// Level of sample frames [from, to) of an interleaved stereo recording.
double levelDb(const std::vector<float>& stereo, std::size_t from, std::size_t to)
{
    return rmsDb(stereo, 2 * from, 2 * to);
}

double peakDb(const std::vector<float>& samples, std::size_t from, std::size_t to)
{
    float peak = 0.0f;
    for (std::size_t i = from; i < std::min(to, samples.size()); ++i) {
        peak = std::max(peak, std::fabs(samples[i]));
    }
    return peak > 0.0f ? 20.0 * std::log10(peak) : -200.0;
}


// Three seconds of the title screen with the music alone, Space, and the
// first level with the ship settling: 332 frames.
const std::string opening =
    "frames 180\n"
    "key down space\n"
    "frames 2\n"
    "key up space\n"
    "frames 150\n";
constexpr long openingFrames = 332;

// A state line without the random generator's state: with every chime
// buffer busy, a collection draws a random number to pick the one it takes
// over, which changes the colours of later sparks and pickups and nothing
// else.
std::string withoutRandomState(const std::string& line)
{
    return std::regex_replace(line, std::regex("\"randState\": [0-9]+"), "");
}

// Music alone on the title screen between -26 and -18 dBFS; full thrust (a
// run holding W, with A to circle where no pickup lies, against the same run
// without it) within 4 dB of the music; every run of chimes in which fewer
// than four chimes overlap peaks 6 dB or more over the music of the second
// around it; and no sample at or above -1 dBFS while the autopilot sweeps the
// first level's pickups with thrust and music.
TEST(Mix, MusicEngineAndChimesAreBalancedAndNothingClips)
{
    const std::string quietScript = opening + "frames 700\nstate\n";
    const std::string thrustScript = opening +
                                     "key down w\nkey down a\nframes 300\nstate\n"
                                     "key up w\nkey up a\nframes 400\nstate\n";
    const std::string sweepScript = opening + repeat("autopilot 1\nstate\n", 700);
    std::vector<RunOptions> options(4);
    for (std::size_t i = 0; i < options.size(); ++i) {
        options[i].size = "32x32";
        options[i].audioOut = tempPath("mix" + std::to_string(i) + ".wav");
    }
    // The data folder without the chime's file: the game then plays as
    // before, only without the chime.
    const DataCopy unchimedData(tempPath("data_without_chime"));
    std::filesystem::remove(unchimedData.file(dataFiles::pickupSound));
    options[3].data = unchimedData.path();
    const std::vector<RunResult> runs =
        runScripts({quietScript, thrustScript, sweepScript, sweepScript}, options);
    std::vector<WaveCapture> waves;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        ASSERT_EQ(runs[i].exitCode, 1) << runs[i].err;
        waves.push_back(readWaveCapture(options[i].audioOut));
        ASSERT_TRUE(waves[i].ok) << waves[i].error;
        ASSERT_EQ(waves[i].channels, 2);
        ASSERT_EQ(waves[i].samples.size(), 2 * frameStart(openingFrames + 701));
    }
    const std::vector<float>& quiet = waves[0].samples;
    const std::vector<float>& thrust = waves[1].samples;
    const std::vector<float>& sweep = waves[2].samples;
    const std::vector<float>& unchimed = waves[3].samples;

    // The title screen's music.
    const double titleDb = levelDb(quiet, 0, frameStart(181));
    EXPECT_GT(titleDb, -26.0);
    EXPECT_LT(titleDb, -18.0);

    // Full thrust from 30 frames after W is pressed until it is released,
    // before any pickup is reached.
    const std::vector<JsonValue> ts = runs[1].states();
    ASSERT_EQ(ts.size(), 2u);
    EXPECT_EQ(num(ts[0], "thrustLevel"), 3000);
    EXPECT_EQ(num(ts[1], "collectedCount"), 0);
    EXPECT_EQ(num(runs[0].states().at(0), "collectedCount"), 0);
    const std::size_t heldFrom = frameStart(openingFrames + 31);
    const std::size_t heldTo = frameStart(openingFrames + 301);
    const double engineDb = levelDb(difference(thrust, quiet), heldFrom, heldTo);
    const double musicThenDb = levelDb(quiet, heldFrom, heldTo);
    EXPECT_NEAR(engineDb, musicThenDb, 4.0);
    EXPECT_NEAR(engineDb, titleDb, 4.0);

    // The chimes alone: the sweep less the same sweep without the chime's
    // file, which flies the same frames (the state lines agree but for the
    // random state). Only where the limiter is idle is the difference the
    // chimes themselves: runs of chimes (those started within one another's
    // ring form one) in which fewer than four overlap. A chime rings seven
    // frames; a frame starts one when the sound is silent and one on every
    // thirtieth collection, so at most 1 + (thirtieths in the last seven
    // frames) ring at once.
    const std::vector<JsonValue> sweepStates = runs[2].states();
    const std::vector<JsonValue> unchimedStates = runs[3].states();
    ASSERT_EQ(sweepStates.size(), 700u);
    ASSERT_EQ(unchimedStates.size(), 700u);
    for (std::size_t i = 0; i < runs[2].lines.size(); ++i) {
        ASSERT_EQ(withoutRandomState(runs[2].lines[i]), withoutRandomState(runs[3].lines.at(i)));
    }
    std::vector<int> ringing(openingFrames + 702, 0);  // an upper bound of the chimes ringing in each frame
    for (std::size_t i = 0; i < sweepStates.size(); ++i) {
        const long before = i == 0 ? 0 : static_cast<long>(num(sweepStates[i - 1], "collectedCount"));
        const long thirtieths = static_cast<long>(num(sweepStates[i], "collectedCount")) / 30 - before / 30;
        for (std::size_t f = openingFrames + 1 + i; f < std::min(ringing.size(), openingFrames + 8 + i); ++f) {
            ringing[f] += static_cast<int>(thirtieths);
        }
    }
    const double collected = num(sweepStates.back(), "collectedCount");
    EXPECT_GT(collected, 300);
    const std::vector<float> chimes = difference(sweep, unchimed);
    const std::size_t frames = chimes.size() / 2;
    auto sounding = [&chimes](std::size_t i) {
        return chimes[2 * i] != 0.0f || chimes[2 * i + 1] != 0.0f;
    };
    int groups = 0;
    int stacked = 0;
    double lowestOver = 200.0;
    double quietestChime = 0.0;
    for (std::size_t i = 0; i < frames;) {
        if (!sounding(i)) {
            ++i;
            continue;
        }
        std::size_t end = i;
        for (std::size_t gap = 0; end < frames && gap < 50; ++end) {
            gap = sounding(end) ? 0 : gap + 1;
        }
        const std::size_t firstFrame = i / samplesPerFrame + 1;
        const std::size_t lastFrame = std::min(ringing.size() - 1, end / samplesPerFrame + 1);
        const int most = 1 + *std::max_element(ringing.begin() + static_cast<long>(firstFrame),
                                                ringing.begin() + static_cast<long>(lastFrame) + 1);
        if (most >= 4) {
            ++stacked;
            i = end;
            continue;
        }
        std::size_t loudest = 2 * i;  // the run's largest sample
        for (std::size_t k = 2 * i; k < 2 * end; ++k) {
            loudest = std::fabs(chimes[k]) > std::fabs(chimes[loudest]) ? k : loudest;
        }
        const double peak = 20.0 * std::log10(std::fabs(chimes[loudest]));
        const std::size_t at = loudest / 2;
        const double musicAround =
            levelDb(quiet, at > rate / 2 ? at - rate / 2 : 0, std::min(frames, at + rate / 2));
        EXPECT_GT(peak, musicAround + 6.0) << "the chime run at sample frame " << i;
        lowestOver = std::min(lowestOver, peak - musicAround);
        quietestChime = std::min(quietestChime, peak);
        ++groups;
        i = end;
    }
    EXPECT_GT(groups, 20);

    // Nothing comes near clipping in the first level, in any run.
    const double limit = -1.0;
    const double sweepPeakDb = peakDb(sweep, 0, sweep.size());
    EXPECT_LT(sweepPeakDb, limit);
    EXPECT_LT(peakDb(thrust, 0, thrust.size()), limit);
    EXPECT_LT(peakDb(quiet, 0, quiet.size()), limit);

    std::cout << "title music " << titleDb << " dBFS; engine at full thrust " << engineDb
              << " dBFS against the music's " << musicThenDb << " dBFS; " << groups
              << " runs of chimes over " << collected << " pickups (" << stacked
              << " more with four or more overlapping), peaks from " << quietestChime
              << " dBFS, at least " << lowestOver
              << " dB over the music of the second around them; highest sample of the sweep "
              << sweepPeakDb << " dBFS\n";
}

// The autopilot through levels 1 to 3. The last frame of level 3 collects
// some seven hundred pickups and starts all ten chime buffers on one sample,
// +8 dBFS before the output's limiter. The limiter holds such stacks at its
// ceiling: a handful of samples touch full scale, where without it over a
// thousand were cut off flat.
TEST(Mix, TheLimiterHoldsTenStackedChimesAtFullScale)
{
    if (sanitizedBuild()) {
        GTEST_SKIP() << "a long run; the normal build plays it";
    }
    RunOptions options;
    options.size = "32x32";
    options.audioOut = tempPath("levels.wav");
    const RunResult run = runScript(opening + "autopilot 3400\nstate\n", options);
    ASSERT_EQ(run.exitCode, 1) << run.err;
    ASSERT_GE(num(run.states().at(0), "levelNumber"), 4) << "the autopilot did not finish level 3";
    const WaveCapture wave = readWaveCapture(options.audioOut);
    ASSERT_TRUE(wave.ok) << wave.error;
    const std::size_t atFullScale = static_cast<std::size_t>(std::count_if(
        wave.samples.begin(), wave.samples.end(), [](float v) { return std::fabs(v) >= 32767.0f / 32768.0f; }));
    std::cout << atFullScale << " of " << wave.samples.size() << " samples at full scale; highest "
              << peakDb(wave.samples, 0, wave.samples.size()) << " dBFS\n";
    EXPECT_LE(atFullScale, 16u);
}

}  // namespace
