// The game's sound end to end: the runner plays with OpenAL Soft's wave
// backend writing the mix to a file, and the recorded samples are checked.
//
// The wave backend mixes in real time while the runner produces frames as
// fast as it can, so frames are placed on the recording by wall-clock time:
// every state line is stamped when it arrives, and the recording ends when
// the runner exits. The music is the same in every run, so the runs are
// lined up on it and subtracted: what is left is the sound the game made on
// top of the music (float samples, no limiter, so the mix is linear).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iostream>
#include <string>

#include "runner_process.h"
#include "wave_capture.h"

namespace {

// The chime is written as E5 then B5 at 22050 Hz and played at 50000 Hz.
constexpr double chimeLow = 659.255 * 50000.0 / 22050.0;
constexpr double chimeHigh = 987.767 * 50000.0 / 22050.0;

struct Recorded {
    RunResult run;
    WaveCapture wave;
};

RunOptions waveOptions(const std::string& name)
{
    const std::string wav = tempPath(name + ".wav");
    const std::string conf = tempPath(name + ".conf");
    std::ofstream(conf) << "[general]\n"
                           "channels = stereo\n"
                           "sample-type = float32\n"
                           "frequency = 44100\n"
                           "output-limiter = false\n"
                           "hrtf = false\n"
                           "stereo-mode = speakers\n"
                           "[wave]\n"
                           "file = "
                        << wav << "\n";
    RunOptions o;
    o.size = "64x64";
    o.env = {{"ALSOFT_DRIVERS", "wave"}, {"ALSOFT_CONF", conf}};
    return o;
}

std::string wavOf(const std::string& name) { return tempPath(name + ".wav"); }

std::vector<Recorded> record(const std::vector<std::string>& scripts, const std::vector<std::string>& names)
{
    std::vector<RunOptions> options;
    for (const std::string& n : names) {
        options.push_back(waveOptions(n));
    }
    std::vector<RunResult> runs = runScripts(scripts, options);
    std::vector<Recorded> out;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        out.push_back(Recorded{std::move(runs[i]), readWaveCapture(wavOf(names[i]))});
    }
    return out;
}

struct Window {
    std::size_t from;
    std::size_t to;
    double seconds(int rate) const { return double(to - from) / rate; }
};

// A window given in seconds from a sample index, clamped to the track.
Window window(const WaveCapture& w, std::size_t origin, double from, double to)
{
    const double o = double(origin) / w.rate;
    return Window{w.at(o + from), w.at(o + to)};
}

// The chime's two notes against four frequencies between and around them,
// where the engine's hiss is as strong: near 1 for the engine alone, far
// above it while chimes ring.
double chimeRatio(const std::vector<float>& track, Window win, int rate)
{
    const double tones = tonePower(track, win.from, win.to, rate, chimeLow) +
                         tonePower(track, win.from, win.to, rate, chimeHigh);
    const double between = tonePower(track, win.from, win.to, rate, 1250.0) +
                           tonePower(track, win.from, win.to, rate, 1850.0) +
                           tonePower(track, win.from, win.to, rate, 2650.0) +
                           tonePower(track, win.from, win.to, rate, 3400.0);
    return tones / (between / 2.0 + 1e-30);
}

// Quarter-second stretches of a window in which the chime rings.
int chimeStretches(const std::vector<float>& track, Window win, int rate)
{
    int n = 0;
    const std::size_t step = static_cast<std::size_t>(rate / 4);
    for (std::size_t at = win.from; at + step <= win.to; at += step) {
        n += chimeRatio(track, Window{at, at + step}, rate) > 20.0 ? 1 : 0;
    }
    return n;
}

// The part of a script every run shares: the title screen with only the
// music, then Space, then the first level with the ship settling, no thrust.
// The title frames must outlast the half second of music the runs are lined
// up on; they are quick (3000 took 0.4 s on an idle machine), so take plenty.
const std::string opening =
    "state\n"
    "frames 12000\n"
    "state\n"
    "key down space\n"
    "frames 2\n"
    "key up space\n"
    "frames 150\n"
    "state\n";

constexpr double blockSeconds = 0.05;

// Levels in dBFS of successive 50 ms blocks of a track from a sample on.
std::vector<double> blockLevels(const std::vector<float>& track, std::size_t from, int rate)
{
    std::vector<double> out;
    const std::size_t step = static_cast<std::size_t>(rate * blockSeconds);
    for (std::size_t at = from; at + step <= track.size(); at += step) {
        out.push_back(rmsDb(track, at, at + step));
    }
    return out;
}

// The recording is mixed in real time, but under load its mixer falls
// behind the frames and catches up later, so wall-clock time cannot place
// frames on it. The sound itself marks where the runs part: with the music
// subtracted, the recording is exactly silent until the first sound the
// game made of its own.
TEST(Sound, MusicFromTheStartThrustLoopWhileWIsHeldAndChimesOnCollection)
{
    if (sanitizedBuild()) {
        GTEST_SKIP() << "three real-time runs side by side are too slow to time under the sanitizers";
    }
    // Thrust: W (with A, circling where no pickup lies) held, then released.
    // Quiet: the same frames without W. Pickups: the autopilot collects.
    const std::string thrustScript = opening +
                                     "key down w\n"
                                     "key down a\n"
                                     "frames 300\n"
                                     "state\n"
                                     "key up w\n"
                                     "key up a\n"
                                     "frames 300\n"
                                     "state\n"
                                     "quit\n";
    const std::string quietScript = opening +
                                    "frames 300\n"
                                    "state\n"
                                    "frames 600\n"
                                    "state\n"
                                    "quit\n";
    const std::string pickupScript = opening +
                                     "autopilot 300\n"
                                     "state\n"
                                     "frames 300\n"
                                     "state\n"
                                     "quit\n";
    const std::vector<Recorded> runs = record({thrustScript, quietScript, pickupScript}, {"thrust", "quiet", "pickups"});
    for (const Recorded& r : runs) {
        ASSERT_EQ(r.run.exitCode, 1) << r.run.err;
        ASSERT_TRUE(r.wave.ok) << r.wave.error << "\n" << r.run.err;
        ASSERT_EQ(r.run.states().size(), 5u) << r.run.err;
    }
    const Recorded& thrust = runs[0];
    const Recorded& quiet = runs[1];
    const Recorded& pickups = runs[2];
    const int rate = thrust.wave.rate;
    const std::vector<float>& mix = thrust.wave.mono;

    // Music from the start: it sets in within half a second of the device,
    // and every 100 ms of the first second carries sound. Nothing but the
    // music plays before the first thrust, which comes later.
    const std::size_t musicStart = firstSound(mix, 1e-4f);
    EXPECT_LT(musicStart, thrust.wave.at(0.5));
    for (double t = 0.0; t < 0.99; t += 0.1) {
        const Window w = window(thrust.wave, musicStart, t, t + 0.1);
        EXPECT_GT(rmsDb(mix, w.from, w.to), -40.0) << "silence " << t << " s into the music";
    }

    // Line the runs up on the first half second of music and subtract: the
    // difference is exactly silent until the game makes a sound of its own.
    const Window musicOnly = window(thrust.wave, musicStart, 0.0, 0.5);
    const long lagQuiet = alignTracks(mix, quiet.wave.mono, musicOnly.from, musicOnly.to);
    const long lagPickups = alignTracks(pickups.wave.mono, quiet.wave.mono, musicOnly.from, musicOnly.to);
    const std::vector<float> extra = difference(mix, quiet.wave.mono, lagQuiet);
    const std::vector<float> extraPickups = difference(pickups.wave.mono, quiet.wave.mono, lagPickups);
    const std::size_t engineStart = firstSound(extra, 1e-6f);
    const std::size_t autopilotStart = firstSound(extraPickups, 1e-6f);
    ASSERT_LT(engineStart, mix.size()) << "W made no difference to the sound";
    ASSERT_LT(autopilotStart, pickups.wave.mono.size()) << "the autopilot made no difference to the sound";
    ASSERT_GT(engineStart, musicOnly.to) << "the runs do not line up on the music";
    ASSERT_GT(autopilotStart, musicOnly.to) << "the runs do not line up on the music";

    // The thrust loop. Its rumble and hum lie below 400 Hz, the chimes far
    // above, so the low band of the difference shows the loop alone. The
    // loop rises to its full level within 30 frames of W and falls 30 dB
    // within 30 frames of the release, then plays on at -50 dB. (Every run
    // starts it already: Space is still down on the first frame of play and
    // gives one frame of thrust, so the quiet loop differs from the start of
    // play, at a phase that depends on timing.)
    const std::vector<JsonValue> ts = thrust.run.states();
    EXPECT_EQ(num(ts[2], "thrustLevel"), 0);     // before W
    EXPECT_EQ(num(ts[3], "thrustLevel"), 3000);  // as W is released
    EXPECT_EQ(num(ts[4], "thrustLevel"), 0);
    const std::vector<float> engine = lowPass(extra, rate, 400.0);
    const std::vector<double> blocks = blockLevels(engine, engineStart, rate);
    const double loudest = *std::max_element(blocks.begin(), blocks.end());
    std::size_t firstLoud = blocks.size();
    std::size_t lastLoud = 0;
    for (std::size_t k = 0; k < blocks.size(); ++k) {
        if (blocks[k] > loudest - 10.0) {
            firstLoud = std::min(firstLoud, k);
            lastLoud = k;
        }
    }
    const std::size_t settle = static_cast<std::size_t>(0.3 / blockSeconds);
    ASSERT_GT(lastLoud, firstLoud + 2 * settle) << "the engine was loud only briefly";
    ASSERT_GT(blocks.size(), lastLoud + 4 * settle) << "too little recorded after the release";
    const double heldFrom = firstLoud * blockSeconds;
    const double heldTo = (lastLoud + 1) * blockSeconds;
    const Window beforeW = window(thrust.wave, engineStart, 0.0, heldFrom - 0.1);
    const Window held = window(thrust.wave, engineStart, heldFrom + 0.3, heldTo);
    const Window after = window(thrust.wave, engineStart, heldTo + 0.5, blocks.size() * blockSeconds);
    const double beforeDb = rmsDb(engine, beforeW.from, beforeW.to);
    const double heldDb = rmsDb(engine, held.from, held.to);
    const double afterDb = rmsDb(engine, after.from, after.to);
    const double steadiest =
        *std::min_element(blocks.begin() + static_cast<long>(firstLoud + settle), blocks.begin() + static_cast<long>(lastLoud));
    const double mixHeld = rmsDb(mix, held.from, held.to);
    const double mixQuiet = rmsDb(quiet.wave.mono, held.from + lagQuiet, held.to + lagQuiet);
    std::cout << "engine band over the music: " << beforeDb << " dBFS before W, " << heldDb << " dBFS for "
              << heldTo - heldFrom << " s while held (no 50 ms below " << steadiest << "), " << afterDb
              << " dBFS after; whole mix while held " << mixHeld << " dBFS, same stretch without W " << mixQuiet
              << " dBFS\n";
    EXPECT_GT(heldDb, -60.0);
    EXPECT_GT(steadiest, heldDb - 12.0);
    EXPECT_GT(heldDb, afterDb + 20.0);
    EXPECT_GT(heldDb, beforeDb + 20.0);
    EXPECT_GT(mixHeld, mixQuiet);

    // Chimes: the autopilot collects pickups; circling with W and A collects
    // none, and neither does the quiet run.
    const std::vector<JsonValue> qs = quiet.run.states();
    const std::vector<JsonValue> ps = pickups.run.states();
    EXPECT_EQ(num(ts[4], "collectedCount"), 0);
    EXPECT_EQ(num(qs[4], "collectedCount"), 0);
    ASSERT_GT(num(ps[4], "collectedCount"), 20);
    const Window flying{autopilotStart, extraPickups.size()};
    const Window circling{held.from, held.to};
    const double withChimes = chimeRatio(extraPickups, flying, rate);
    const double engineAlone = chimeRatio(extra, circling, rate);
    const int ringing = chimeStretches(extraPickups, flying, rate);
    const int ringingAlone = chimeStretches(extra, circling, rate);
    std::cout << "chime notes against the frequencies between them: collecting " << withChimes << " ("
              << num(ps[4], "collectedCount") << " pickups, chimes in " << ringing
              << " quarter seconds), engine alone " << engineAlone << " (" << ringingAlone << ")\n";
    EXPECT_GT(withChimes, 5.0);
    EXPECT_GT(withChimes, 4.0 * engineAlone);
    EXPECT_GE(ringing, 1);
    EXPECT_EQ(ringingAlone, 0);
}

}  // namespace
