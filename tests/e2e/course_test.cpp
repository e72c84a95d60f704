// The course of a game through the scripted runner: the title, the start of
// the first level, thrust with its exhaust, collection with its bursts, and
// running out of time, read from the runner's state lines frame by frame.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "runner_process.h"
#include "wave_capture.h"
#include "screen_image.h"

namespace {

const std::string eachFrame = "frames 1\nstate\n";

// The first state showing the first level's pattern placed.
std::size_t firstPlayed(const std::vector<JsonValue>& states)
{
    for (std::size_t i = 0; i < states.size(); ++i) {
        if (num(states[i], "levelNumber") == 1) {
            return i;
        }
    }
    return states.size();
}

TEST(GameCourse, TitleUntilSpaceThenTheFirstFrameOfPlayPlacesTheFirstLevel)
{
    const RunResult r = runScript("frames 2\nstate\nkey down space\n" + repeat(eachFrame, 4) + "key up space\n" +
                                  repeat(eachFrame, 4) + "quit\n");
    ASSERT_EQ(r.exitCode, 1) << r.err;
    const std::vector<JsonValue> s = r.states();
    ASSERT_EQ(s.size(), 9u) << r.err;

    EXPECT_EQ(num(s[0], "gameState"), 0);
    EXPECT_EQ(num(s[0], "score"), 0);
    EXPECT_EQ(num(s[0], "levelNumber"), 0);
    EXPECT_EQ(num(s[0], "collectedCount"), 2000);

    const std::size_t first = firstPlayed(s);
    ASSERT_GE(first, 2u) << "the title must take the press on a frame of its own";
    ASSERT_LT(first + 1, s.size());
    const JsonValue& title = s[first - 1];
    const JsonValue& placed = s[first];
    const JsonValue& next = s[first + 1];
    for (std::size_t i = 0; i + 1 < first; ++i) {
        EXPECT_EQ(num(s[i], "gameState"), 0) << "state " << i;
        EXPECT_EQ(num(s[i], "score"), 0);
    }
    // The title frame that saw Space left the title without placing a level.
    EXPECT_EQ(num(title, "gameState"), 1);
    EXPECT_EQ(num(title, "levelNumber"), 0);
    EXPECT_EQ(num(placed, "frame"), num(title, "frame") + 1);

    // The first frame of play found 2000 collected, gave no bonus and placed
    // pattern 0, with the ship reset to (0, 20, 0) after its step.
    EXPECT_EQ(num(placed, "gameState"), 2);
    EXPECT_EQ(num(placed, "collectedCount"), 0);
    EXPECT_EQ(num(placed, "score"), 0);
    EXPECT_EQ(vec(placed, "ship", "position", 0), 0);
    EXPECT_EQ(vec(placed, "ship", "position", 1), 20);
    EXPECT_EQ(vec(placed, "ship", "position", 2), 0);
    EXPECT_FLOAT_EQ(num(placed, "levelTime"), 0.1f);

    // The next frame plays on at once: no level-complete screen for level 1.
    EXPECT_EQ(num(next, "frame"), num(placed, "frame") + 1);
    EXPECT_EQ(num(next, "gameState"), 1);
    EXPECT_EQ(num(next, "levelNumber"), 1);
    EXPECT_EQ(num(next, "lastButton"), 1);
    EXPECT_FLOAT_EQ(num(next, "levelTime"), 0.2f);
    EXPECT_NE(vec(next, "ship", "position", 1), 20);  // it moved
}

TEST(GameCourse, ThrustSpawnsTwoParticlesAFrameAndEachCollectionOneBurst)
{
    // Settle on the shell, then fly straight on with W over the first
    // level's pickups, then coast.
    const RunResult r = runScript("key down space\nframes 2\nkey up space\nframes 100\nstate\nkey down w\n" +
                                  repeat(eachFrame, 240) + "key up w\n" + repeat(eachFrame, 20) + "quit\n");
    ASSERT_EQ(r.exitCode, 1) << r.err;
    const std::vector<JsonValue> s = r.states();
    ASSERT_EQ(s.size(), 261u) << r.err;

    int thrustFrames = 0;
    int collections = 0;
    int wraps = 0;
    for (std::size_t i = 1; i < s.size(); ++i) {
        const JsonValue& before = s[i - 1];
        const JsonValue& now = s[i];
        ASSERT_EQ(num(now, "levelNumber"), 1);
        const double thrust = num(now, "ship", "thrustInput");
        const bool thrusting = thrust != 0;
        if (thrusting) {
            EXPECT_EQ(thrust, -1024) << "frame " << num(now, "frame");
            ++thrustFrames;
        }
        const int collected = static_cast<int>(num(now, "collectedCount") - num(before, "collectedCount"));
        ASSERT_GE(collected, 0);
        collections += collected;
        // Each frame spawns the exhaust pair when thrusting and one burst per
        // pickup collected, all through the ring of 100 slots whose live
        // count stops at 99.
        const int spawned = (thrusting ? 2 : 0) + collected;
        const int head = static_cast<int>(num(before, "particleHead"));
        EXPECT_EQ(num(now, "particleHead"), (head + spawned) % 100) << "frame " << num(now, "frame");
        EXPECT_EQ(num(now, "particleCount"), std::min(99.0, num(before, "particleCount") + spawned))
            << "frame " << num(now, "frame");
        wraps += head + spawned >= 100 ? 1 : 0;
    }
    EXPECT_GE(thrustFrames, 235);  // W is taken within a frame or two
    EXPECT_LE(thrustFrames, 241);
    EXPECT_GT(collections, 0) << "the straight flight should cross some of the first level's pickups";
    EXPECT_GE(wraps, 4);
    EXPECT_EQ(num(s.back(), "particleCount"), 99);
    EXPECT_EQ(num(s.back(), "ship", "thrustInput"), 0);  // coasting after W

    // From rest on the shell, W raises the speed toward about 0.153 a frame.
    const double early = vecLength(s[20], "ship", "velocity");
    const double late = vecLength(s[240], "ship", "velocity");
    EXPECT_LT(early, late);
    EXPECT_NEAR(late, 0.153, 0.01);
    EXPECT_EQ(num(s[240], "thrustLevel"), 3000);
}

TEST(GameCourse, LevelOneRunsOutOfTimeOnItsFiveThousandthFrameAndWaitsForAFreshPress)
{
    if (sanitizedBuild()) {
        GTEST_SKIP() << "5000 frames of play take minutes under the sanitizers";
    }
    // Space is held from the title through the whole level (it thrusts
    // forward) and across the change to the out-of-time screen.
    const std::string shot = tempPath("out_of_time.png");
    RunOptions options;
    options.size = "128x104";
    const RunResult r = runScript("key down space\n" + repeat(eachFrame, 2) + "frames 4990\n" +
                                      repeat(eachFrame, 14) + "screenshot " + shot +
                                      "\n"
                                      "frames 3\nstate\n"
                                      "key up space\nframes 3\nstate\n"
                                      "key down space\nframes 3\nstate\n"
                                      "quit\n",
                                  options);
    ASSERT_EQ(r.exitCode, 1) << r.err;
    const std::vector<JsonValue> s = r.states();
    ASSERT_EQ(s.size(), 19u) << r.err;

    const std::size_t first = firstPlayed(s);
    ASSERT_LT(first, 2u);
    const double firstFrame = num(s[first], "frame");

    // The limit of 500 is passed by the 5000th addition of 0.1 (the float
    // sum runs slightly ahead), on the 5000th frame of play.
    std::size_t timedOut = 0;
    for (std::size_t i = 2; i < 16; ++i) {
        if (num(s[i], "gameState") == 3) {
            timedOut = i;
            break;
        }
        EXPECT_EQ(num(s[i], "gameState"), 1);
    }
    ASSERT_GT(timedOut, 2u) << "no time-out within the frames looked at";
    const JsonValue& last = s[timedOut - 1];
    const JsonValue& out = s[timedOut];
    EXPECT_EQ(num(out, "frame"), firstFrame + 4999);
    EXPECT_NEAR(num(last, "levelTime"), 499.92, 0.01);
    EXPECT_EQ(num(out, "levelNumber"), 1);  // the same level again
    EXPECT_EQ(num(out, "levelTime"), 0);
    EXPECT_EQ(num(out, "collectedCount"), 0);
    EXPECT_EQ(vec(out, "ship", "position", 1), 20);
    EXPECT_EQ(num(out, "score"), 0);

    // The screen stays while Space is held, and after it is let go, until a
    // fresh press.
    const JsonValue& held = s[16];
    const JsonValue& released = s[17];
    const JsonValue& pressed = s[18];
    for (std::size_t i = timedOut; i < 18; ++i) {
        EXPECT_EQ(num(s[i], "gameState"), 3) << "state " << i;
        EXPECT_EQ(num(s[i], "levelTime"), 0) << "state " << i;
    }
    EXPECT_NE(num(held, "lastButton"), 0);
    EXPECT_EQ(num(released, "lastButton"), 0);
    EXPECT_EQ(num(pressed, "gameState"), 1);
    EXPECT_EQ(num(pressed, "levelNumber"), 1);
    EXPECT_GT(num(pressed, "levelTime"), 0);

    // The out-of-time screen: "out of time" and "score" in blue, no digits
    // for a score of 0, black elsewhere.
    const ScreenImage image(shot);
    ASSERT_TRUE(image.ok()) << image.error();
    const NdcBox words = textBox("out of time", 0.7, 0.5, 0.1, 0.1);
    const NdcBox score = textBox("score", 0.4, 0.0, 0.1, 0.1);
    EXPECT_GT(image.countBlue(words), 60);
    EXPECT_GT(image.countBlue(score), 25);
    EXPECT_EQ(image.countNonBlack(NdcBox{-0.6, 0.5, -0.7, -0.3}), 0) << "digits drawn for a score of 0";
    EXPECT_EQ(image.strayPixels({words, score}, 1), 0);
}

}  // namespace

namespace {

// `level 8` sets the game up as the completion of level 7 leaves it: the
// level-complete screen for level 8, its pickups placed, the clock at 0.
// Played from there with W held throughout, its limit of 150 runs out on
// the 1501st frame of play; on the out-of-time screen the engine dies away
// by 100 a frame, is at 0 within 30 frames and is then silent: from there on
// the recorded mix is the same as that of the same run without W.
TEST(GameCourse, LevelEightFromItsScreenRunsOutOfTimeAndTheEngineFallsSilentOnTheScreen)
{
    std::vector<RunOptions> options(2);
    std::vector<std::string> scripts;
    for (int i = 0; i < 2; ++i) {
        options[i].size = "16x16";
        options[i].audioOut = tempPath("level8_" + std::to_string(i) + ".wav");
        scripts.push_back(std::string("level 8\nstate\nframes 1\nkey down space\nframes 3\nkey up space\n") +
                          (i == 0 ? "key down w\n" : "") + "state\nframes 1490\n" + repeat(eachFrame, 50) + "frames 20\nquit\n");
    }
    const std::vector<RunResult> runs = runScripts(scripts, options);
    const RunResult& r = runs[0];
    ASSERT_EQ(r.exitCode, 1) << r.err;
    ASSERT_EQ(runs[1].exitCode, 1) << runs[1].err;
    const std::vector<JsonValue> s = r.states();
    ASSERT_EQ(s.size(), 52u) << r.err;
    EXPECT_EQ(num(s[0], "gameState"), 2);
    EXPECT_EQ(num(s[0], "levelNumber"), 8);
    EXPECT_EQ(num(s[0], "collectedCount"), 0);
    EXPECT_EQ(num(s[0], "score"), 0);
    EXPECT_EQ(vec(s[0], "ship", "position", 1), 20);
    EXPECT_EQ(num(s[1], "gameState"), 1) << "a fresh press leaves the screen";
    EXPECT_NEAR(num(s[1], "levelTime"), 0.1, 1e-6) << "after the first frame of play";

    std::size_t out = 0;
    for (std::size_t i = 2; i < s.size() && out == 0; ++i) {
        if (num(s[i], "gameState") == 3) {
            out = i;
        }
    }
    ASSERT_GT(out, 2u) << "no time-out";
    EXPECT_EQ(num(s[out], "frame") - num(s[1], "frame") + 1, 1501);
    EXPECT_EQ(num(s[out], "levelNumber"), 8);
    EXPECT_EQ(num(s[out - 1], "thrustLevel"), 3000);
    ASSERT_LT(out + 30, s.size());
    for (std::size_t i = out + 1; i < s.size(); ++i) {
        EXPECT_EQ(num(s[i], "thrustLevel"), std::max(0.0, 3000.0 - 100.0 * static_cast<double>(i - out)))
            << "screen frame " << i - out;
        EXPECT_EQ(num(s[i], "gameState"), 3);
    }

    // 735 samples follow each frame (sounding 44 samples late: the output's
    // limiter looks 1 ms ahead). From the 31st screen frame on, past the last
    // chime too, the two mixes differ by no more than rounding.
    const WaveCapture held = readWaveCapture(options[0].audioOut);
    const WaveCapture idle = readWaveCapture(options[1].audioOut);
    ASSERT_TRUE(held.ok) << held.error;
    ASSERT_TRUE(idle.ok) << idle.error;
    const std::size_t from = static_cast<std::size_t>(num(s[out], "frame") + 30) * 735 + 44;
    ASSERT_EQ(held.mono.size(), idle.mono.size());
    ASSERT_LT(from + 735 * 15, held.mono.size());
    const std::size_t engineOn = static_cast<std::size_t>(num(s[out], "frame") - 20) * 735;
    EXPECT_GT(rmsDb(difference(held.mono, idle.mono), engineOn, engineOn + 735 * 10), -60.0)
        << "the engine is heard in play";
    float largest = 0.0f;
    for (std::size_t i = from; i < held.mono.size(); ++i) {
        largest = std::max(largest, std::fabs(held.mono[i] - idle.mono[i]));
    }
    EXPECT_LT(largest, 2.0f / 32768.0f) << "the engine is still heard on the screen";
}

}  // namespace
