// The balance of the mix as the player hears it, on the runner's recording
// (--audio-out: 44.1 kHz stereo, 735 sample frames after every frame). Levels
// are in dB full scale over both channels' samples.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <string>

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

// Music alone on the title screen between -26 and -18 dBFS; full thrust (a
// run holding W, with A to circle where no pickup lies, against the same run
// without it) within 4 dB of the music; every chime's peak 6 dB or more over
// the music of the second around it; and no sample at or above -1 dBFS while
// the autopilot sweeps the first level's pickups with thrust and music.
TEST(Mix, MusicEngineAndChimesAreBalancedAndNothingClips)
{
    const std::string quietScript = opening + "frames 700\nstate\n";
    const std::string thrustScript = opening +
                                     "key down w\nkey down a\nframes 300\nstate\n"
                                     "key up w\nkey up a\nframes 400\nstate\n";
    const std::string sweepScript = opening + "autopilot 700\nstate\n";
    std::vector<RunOptions> options(4);
    for (std::size_t i = 0; i < options.size(); ++i) {
        options[i].size = "32x32";
        options[i].audioOut = tempPath("mix" + std::to_string(i) + ".wav");
    }
    // The data folder without the chime's file: the game then plays exactly
    // as before, only without the chime.
    const DataCopy unchimedData(tempPath("data_without_chime"));
    std::filesystem::remove(unchimedData.file("pickup.wav"));
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
    // file, which plays the same frames (the state lines agree). Each run of
    // chimes (those started within one another's ring form one) against the
    // music of the surrounding second.
    ASSERT_TRUE(runs[2].lines == runs[3].lines) << "the sweep played differently without the chime";
    const double collected = num(runs[2].states().at(0), "collectedCount");
    EXPECT_GT(collected, 300);
    const std::vector<float> chimes = difference(sweep, unchimed);
    const std::size_t frames = chimes.size() / 2;
    auto sounding = [&chimes](std::size_t i) {
        return chimes[2 * i] != 0.0f || chimes[2 * i + 1] != 0.0f;
    };
    int groups = 0;
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

    // Nothing clips, in any run.
    const double limit = -1.0;
    const double sweepPeakDb = peakDb(sweep, 0, sweep.size());
    EXPECT_LT(sweepPeakDb, limit);
    EXPECT_LT(peakDb(thrust, 0, thrust.size()), limit);
    EXPECT_LT(peakDb(quiet, 0, quiet.size()), limit);

    std::cout << "title music " << titleDb << " dBFS; engine at full thrust " << engineDb
              << " dBFS against the music's " << musicThenDb << " dBFS; " << groups
              << " runs of chimes over " << collected << " pickups, peaks from " << quietestChime
              << " dBFS, at least " << lowestOver
              << " dB over the music of the second around them; highest sample of the sweep "
              << sweepPeakDb << " dBFS\n";
}

}  // namespace
