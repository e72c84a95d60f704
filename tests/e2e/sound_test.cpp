// The game's sound end to end, on the runner's recording (--audio-out). The
// runner mixes 735 samples (1/60 s at 44.1 kHz) after every frame, so frame f
// sounds in samples [(f − 1) · 735, f · 735) of every run, and two runs that
// differ only from some frame on have the same samples up to that frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "runner_process.h"
#include "wave_capture.h"

namespace {

constexpr std::size_t samplesPerFrame = 735;
constexpr int rate = 44100;

// The first sample of frame f (frames count from 1, as the state lines do).
constexpr std::size_t frameStart(long f) { return static_cast<std::size_t>(f - 1) * samplesPerFrame; }
// The output's limiter looks 1 ms ahead: everything sounds 44 samples later.
constexpr std::size_t limiterDelay = 44;

// The chime is written as E5 then B5 at 22050 Hz and played at 50000 Hz, so
// it rings for 0.26 · 22050 / 50000 s: 7 frames.
constexpr double chimeLow = 659.255 * 50000.0 / 22050.0;
constexpr double chimeHigh = 987.767 * 50000.0 / 22050.0;
constexpr long chimeFrames = 7;

// The chime's two notes against four frequencies between and around them,
// where the engine's hiss is as strong: near 1 for the engine alone, far
// above it while a chime rings.
double chimeRatio(const std::vector<float>& track, std::size_t from, std::size_t to)
{
    const double tones = tonePower(track, from, to, rate, chimeLow) + tonePower(track, from, to, rate, chimeHigh);
    const double between = tonePower(track, from, to, rate, 1250.0) + tonePower(track, from, to, rate, 1850.0) +
                           tonePower(track, from, to, rate, 2650.0) + tonePower(track, from, to, rate, 3400.0);
    return tones / (between / 2.0 + 1e-30);
}


// The title screen with only the music (60 frames), Space, and the first
// level with the ship settling, no thrust: 212 frames in all.
const std::string opening =
    "frames 60\n"
    "key down space\n"
    "frames 2\n"
    "key up space\n"
    "frames 150\n"
    "state\n";
constexpr long openingFrames = 212;

TEST(Sound, MusicFromTheStartThrustLoopWhileWIsHeldAndChimesOnCollection)
{
    // Thrust: W (with A, circling where no pickup lies) held for 300 frames,
    // then released. Quiet: the same frames without W. Pickups: the
    // autopilot collects, with a state line after every frame.
    const std::string thrustScript = opening +
                                     "key down w\nkey down a\n"
                                     "frames 300\nstate\n"
                                     "key up w\nkey up a\n"
                                     "frames 300\nstate\n";
    const std::string quietScript = opening + "frames 600\nstate\n";
    const std::string pickupScript = opening + repeat("autopilot 1\nstate\n", 300) + "frames 300\nstate\n";
    const std::vector<Recorded> runs = recordScripts({thrustScript, quietScript, pickupScript}, "sound");
    for (const Recorded& r : runs) {
        ASSERT_EQ(r.run.exitCode, 1) << r.run.err;
        EXPECT_EQ(r.run.err, "");
        ASSERT_TRUE(r.wave.ok) << r.wave.error;
        EXPECT_EQ(r.wave.rate, rate);
        EXPECT_EQ(r.wave.channels, 2);
        // Exactly 1/60 s for each of the 812 frames.
        EXPECT_EQ(r.wave.mono.size(), frameStart(openingFrames + 601));
    }
    const std::vector<float>& thrust = runs[0].wave.mono;
    const std::vector<float>& quiet = runs[1].wave.mono;
    const std::vector<float>& pickups = runs[2].wave.mono;

    // Music from the first frame on: every 100 ms of the first second carries it.
    EXPECT_GT(rmsDb(quiet, 0, samplesPerFrame), -60.0);
    for (std::size_t at = 0; at < rate; at += rate / 10) {
        EXPECT_GT(rmsDb(quiet, at, at + rate / 10), -40.0) << "silence " << at << " samples into the music";
    }

    // The runs are the same sound until the frame that first takes W (or
    // the autopilot's keys): frame 213.
    EXPECT_EQ(firstDifference(thrust, quiet) / samplesPerFrame, static_cast<std::size_t>(openingFrames));
    EXPECT_EQ(firstDifference(pickups, quiet) / samplesPerFrame, static_cast<std::size_t>(openingFrames));

    // The thrust loop rises over 30 frames to full (-2000) while W is held
    // and falls back over 30 frames once it is released in frame 513: from
    // frame 543 on the loop plays at -5000 again, as it does in the quiet run
    // (Space thrust for one frame at the start of play in both), and the two
    // recordings are the same samples again.
    const std::vector<JsonValue> ts = runs[0].run.states();
    ASSERT_EQ(ts.size(), 3u);
    EXPECT_EQ(num(ts[0], "thrustLevel"), 0);
    EXPECT_EQ(num(ts[1], "thrustLevel"), 3000);
    EXPECT_EQ(num(ts[2], "thrustLevel"), 0);
    const std::size_t lastEngine = lastDifference(thrust, quiet);
    EXPECT_GE(lastEngine, frameStart(openingFrames + 300 + 25));
    EXPECT_LT(lastEngine, frameStart(openingFrames + 300 + 31) + limiterDelay);
    // While held, the engine's band (its rumble and hum lie below 400 Hz)
    // is steady and well above what is left after the release.
    const std::vector<float> engine = lowPass(difference(thrust, quiet), rate, 400.0);
    const std::size_t heldFrom = frameStart(openingFrames + 31);
    const std::size_t heldTo = frameStart(openingFrames + 301);
    const double heldDb = rmsDb(engine, heldFrom, heldTo);
    double steadiest = 0.0;
    for (std::size_t at = heldFrom; at + rate / 20 <= heldTo; at += rate / 20) {
        steadiest = std::min(steadiest, rmsDb(engine, at, at + rate / 20));
    }
    const double mixHeld = rmsDb(thrust, heldFrom, heldTo);
    const double mixQuiet = rmsDb(quiet, heldFrom, heldTo);
    std::cout << "engine band over the music while W is held: " << heldDb << " dBFS (no 50 ms below " << steadiest
              << "); whole mix " << mixHeld << " dBFS, the same frames without W " << mixQuiet << " dBFS\n";
    EXPECT_GT(heldDb, -60.0);
    EXPECT_GT(steadiest, heldDb - 12.0);
    EXPECT_GT(mixHeld, mixQuiet);

    // Chimes: circling with W and A collects nothing, the autopilot does.
    // Over quarter seconds of its flight, the chime rings where a pickup was
    // collected early enough in the stretch to ring within it, and never
    // where none was collected in the stretch or the seven frames before.
    EXPECT_EQ(num(ts[2], "collectedCount"), 0);
    const std::vector<JsonValue> ps = runs[2].run.states();
    ASSERT_EQ(ps.size(), 302u);
    std::vector<long> collectedIn;  // frames in which pickups were collected
    for (std::size_t i = 1; i + 1 < ps.size(); ++i) {
        if (num(ps[i], "collectedCount") > num(ps[i - 1], "collectedCount")) {
            collectedIn.push_back(static_cast<long>(num(ps[i], "frame")));
        }
    }
    ASSERT_GT(num(ps[300], "collectedCount"), 20);
    const std::vector<float> extra = difference(pickups, quiet);
    auto collectedBetween = [&collectedIn](long first, long last) {
        return std::any_of(collectedIn.begin(), collectedIn.end(), [&](long f) { return f >= first && f <= last; });
    };
    constexpr long stretch = 15;
    int ringing = 0;
    int silent = 0;
    for (long a = openingFrames + 1; a + stretch - 1 <= openingFrames + 300; a += stretch) {
        const double ratio = chimeRatio(extra, frameStart(a), frameStart(a + stretch));
        if (collectedBetween(a, a + stretch - chimeFrames)) {
            EXPECT_GT(ratio, 20.0) << "no chime in frames " << a << " to " << a + stretch - 1;
            ++ringing;
        } else if (!collectedBetween(a - chimeFrames - 1, a + stretch - 1)) {
            EXPECT_LT(ratio, 20.0) << "a chime without a pickup in frames " << a << " to " << a + stretch - 1;
            ++silent;
        }
    }
    std::cout << "chimes: " << num(ps[300], "collectedCount") << " pickups in " << collectedIn.size()
              << " frames; " << ringing << " quarter seconds ringing, " << silent << " without a pickup\n";
    EXPECT_GE(ringing, 3);
    EXPECT_GE(silent, 3);
}

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The autopilot sweeps the first level's pickups in bursts of more than 30
// within the seven frames a chime rings, so chimes overlap (every 30th
// collection starts another buffer while one rings), and which buffers ring
// in any frame depends on how long each one plays. Played once at full speed
// and once with the runner itself stopped and let go on in 5 ms bursts (its
// sound thread and the mixer with it), the state lines and the recordings
// are the same, byte for byte: nothing follows the wall clock.
TEST(Sound, TheSameScriptGivesTheSameStatesAndSoundAtAnySpeed)
{
    const long frames = 300;
    const std::string script = opening + repeat("autopilot 1\nstate\n", static_cast<int>(frames));
    RunOptions plain;
    plain.size = "32x32";
    plain.audioOut = tempPath("plain.wav");
    RunOptions slowed = plain;
    slowed.audioOut = tempPath("slowed.wav");
    slowed.stopBurstMilliseconds = 5;

    const RunResult fast = runScript(script, plain);
    const RunResult slow = runScript(script, slowed);
    EXPECT_GE(slow.stopBursts, 20) << "the runner was hardly stopped";
    std::cout << "plain run " << fast.exitSeconds << " s, slowed run " << slow.exitSeconds << " s\n";

    ASSERT_EQ(fast.exitCode, 1) << fast.err;
    ASSERT_EQ(slow.exitCode, 1) << slow.err;
    ASSERT_EQ(fast.lines.size(), static_cast<std::size_t>(frames + 1));
    EXPECT_TRUE(fast.lines == slow.lines) << "the state lines differ";
    const std::string a = fileBytes(plain.audioOut);
    const std::string b = fileBytes(slowed.audioOut);
    EXPECT_EQ(a.size(), 44 + 4 * frameStart(openingFrames + frames + 1));
    EXPECT_TRUE(a == b) << "the recordings differ";

    // A burst of 31 collections within seven frames did happen.
    const std::vector<JsonValue> s = fast.states();
    long most = 0;
    for (std::size_t i = chimeFrames; i < s.size(); ++i) {
        most = std::max(most, static_cast<long>(num(s[i], "collectedCount") - num(s[i - chimeFrames], "collectedCount")));
    }
    EXPECT_GE(most, 31);
}

}  // namespace
