// The autopilot plays the real game through the runner with the keyboard
// alone: it must complete the first level within its time limit, and the
// level-complete screen must show the new level and the score.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "runner_process.h"
#include "screen_image.h"
#include "world/level.h"

namespace {

// The bonus for completing a level: the time left, computed in floats and
// truncated, as the frame driver computes it.
int bonus(int limit, double levelTime, int score)
{
    return static_cast<int>(static_cast<float>(limit) - static_cast<float>(levelTime) + static_cast<float>(score));
}

TEST(Autopilot, CompletesTheFirstLevelInTimeAndTheLevelCompleteScreenShowsLevelTwoAndTheScore)
{
    if (sanitizedBuild()) {
        GTEST_SKIP() << "a level of autopilot play takes minutes under the sanitizers";
    }
    // One frame at a time, with a state line after each.
    RunOptions options;
    options.size = "128x104";
    const std::string oneFrame = "autopilot 1\n";
    const RunResult r = runScript(repeat(oneFrame + "state\n", 2100) + "quit\n", options);
    ASSERT_EQ(r.exitCode, 1) << r.err;
    const std::vector<JsonValue> s = r.states();
    ASSERT_EQ(s.size(), 2100u) << r.err;

    std::size_t completed = 0;
    for (std::size_t i = 1; i < s.size() && completed == 0; ++i) {
        if (num(s[i], "levelNumber") == 2) {
            completed = i;
        } else if (num(s[i], "levelNumber") == 1 && num(s[i - 1], "levelNumber") == 1) {
            // Pickups only ever add up within a level.
            ASSERT_GE(num(s[i], "collectedCount"), num(s[i - 1], "collectedCount"));
            ASSERT_EQ(num(s[i], "gameState"), 1) << "frame " << num(s[i], "frame");
        }
    }
    ASSERT_GT(completed, 0u) << "level 1 not completed; collected "
                             << num(s.back(), "collectedCount") << " of 2000";
    const JsonValue& before = s[completed - 1];
    const JsonValue& after = s[completed];
    std::cout << "level 1 completed on frame " << num(after, "frame") << " with " << num(before, "levelTime")
              << " of 500 used; score " << num(after, "score") << "\n";
    // The frame after the 2000th pickup completes the level, adds the time
    // left and places the next pattern; the rest of that frame is played on
    // the new level.
    EXPECT_EQ(num(before, "collectedCount"), 2000);
    EXPECT_LT(num(before, "levelTime"), 500);
    EXPECT_EQ(num(after, "gameState"), 2);
    EXPECT_FLOAT_EQ(num(after, "levelTime"), 0.1f);
    EXPECT_EQ(vec(after, "ship", "position", 1), 20);
    const int score = static_cast<int>(num(after, "score"));
    EXPECT_EQ(score, bonus(500, num(before, "levelTime"), 0));
    EXPECT_GT(score, 0);

    // The level-complete screen shows on the next frame whatever the keys
    // (the button counted as held when level 1 began), but the autopilot
    // presses on at once. The game is deterministic in its keys, so the same
    // commands up to that frame reach it again in a second run.
    const std::string shot = tempPath("level_complete.png");
    const RunResult again =
        runScript(repeat(oneFrame, static_cast<int>(completed) + 2) + "state\nscreenshot " + shot + "\nquit\n",
                  options);
    ASSERT_EQ(again.exitCode, 1) << again.err;
    const std::vector<JsonValue> replayed = again.states();
    ASSERT_EQ(replayed.size(), 1u) << again.err;
    const JsonValue& screen = replayed[0];
    ASSERT_EQ(num(screen, "frame"), num(after, "frame") + 1);
    ASSERT_EQ(num(screen, "gameState"), 2);
    ASSERT_EQ(num(screen, "levelNumber"), 2);
    ASSERT_EQ(num(screen, "score"), score);

    // The screen: "next level", the level number, "score" and the score in
    // blue at their places, black elsewhere. Digits are lines 10 pixels wide.
    const ScreenImage image(shot);
    ASSERT_TRUE(image.ok()) << image.error();
    const NdcBox words = textBox("next level", 0.7, 0.5, 0.1, 0.1);
    const NdcBox level = numberBox(2, 0.0, 0.25, 0.05);
    const NdcBox scoreWord = textBox("score", 0.4, -0.25, 0.1, 0.1);
    int digits = 0;
    for (int v = score; v > 0; v /= 10) {
        ++digits;
    }
    const NdcBox scoreDigits = numberBox(score, 0.5 * (digits - 1) * 1.5 * 0.05, -0.5, 0.05);
    EXPECT_GT(image.countBlue(words), 60);
    EXPECT_GT(image.countBlue(level, 5), 20);
    EXPECT_GT(image.countBlue(scoreWord), 25);
    EXPECT_GT(image.countBlue(scoreDigits, 5), 20 * digits);
    // The run keeps its records in a folder of its own, so this first clear
    // of level 1 is its best: "new best" and the bonus on the line below.
    const NdcBox newBest = textBox("new best", 0.0, -0.72, 0.045, 0.045);
    const NdcBox bestLine{newBest.x0, 0.6, -0.78, -0.66};
    EXPECT_GT(image.countBlue(newBest), 20);
    EXPECT_GT(image.countBlue(NdcBox{0.03, 0.6, -0.78, -0.66}, 5), 20);
    EXPECT_EQ(image.strayPixels({words, level, scoreWord, scoreDigits, bestLine}, 6), 0);
}

// Level 8 gives 1500 frames, and some 210 of its pickups would reach the
// point they all drift through only later: the autopilot must leave that
// point and sweep them up on the way. From `level 8` it completes the level
// before its time runs out, and the bonus is the time left.
TEST(Autopilot, ClearsLevelEightInTime)
{
    if (sanitizedBuild()) {
        GTEST_SKIP() << "a level of autopilot play takes minutes under the sanitizers";
    }
    RunOptions options;
    options.size = "8x8";
    const RunResult r = runScript("level 8\n" + repeat("autopilot 1\nstate\n", 1560) + "quit\n", options);
    ASSERT_EQ(r.exitCode, 1) << r.err;
    const std::vector<JsonValue> s = r.states();
    ASSERT_EQ(s.size(), 1560u) << r.err;

    std::size_t done = 0;
    for (std::size_t i = 1; i < s.size() && done == 0; ++i) {
        ASSERT_NE(num(s[i], "gameState"), 3) << "level 8 ran out of time with " << num(s[i - 1], "collectedCount");
        if (num(s[i], "levelNumber") == 9) {
            done = i;
        } else if (num(s[i - 1], "gameState") == 1) {
            ASSERT_GE(num(s[i], "collectedCount"), num(s[i - 1], "collectedCount"));
        }
    }
    ASSERT_GT(done, 0u) << "collected " << num(s.back(), "collectedCount") << " of 2000";
    const JsonValue& last = s[done - 1];
    std::cout << "level 8 completed on frame " << num(s[done], "frame") << " with " << num(last, "levelTime")
              << " of 150 used\n";
    EXPECT_EQ(num(last, "collectedCount"), 2000);
    EXPECT_LT(num(last, "levelTime"), 150);
    EXPECT_EQ(num(s[done], "score"), bonus(150, num(last, "levelTime"), 0));
    EXPECT_GT(num(s[done], "score"), 0);
}

// From the level-complete screen of level 9 (the runner's `level 9`) the
// autopilot presses on and plays until the 2000th pickup is counted. The next
// frame completes the game: the time left is added to the score and
// levelNumber becomes 10 with neither a clock nor a time-out in that frame
// (the table of limits ends at level 9; the sanitizers would report a read
// past it), and every frame after it is the final screen, which plays
// nothing. Runs in both builds.
TEST(Autopilot, PlaysLevelNineFromItsStartToTheFinalScreen)
{
    RunOptions options;
    options.size = "64x52";
    options.timeoutSeconds = 900;
    const std::string shot = tempPath("final.png");
    const RunResult r = runScript("level " + std::to_string(levelCount) + "\n" + repeat("autopilot 1\nstate\n", 6100) + "screenshot " + shot + "\nquit\n",
                                  options);
    ASSERT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.err.find("runtime error"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Sanitizer"), std::string::npos) << r.err;
    const std::vector<JsonValue> s = r.states();
    ASSERT_EQ(s.size(), 6100u) << r.err;

    std::size_t done = 0;  // the state of the frame that counted the 2000th
    for (std::size_t i = 1; i < s.size() && done == 0; ++i) {
        ASSERT_EQ(num(s[i], "levelNumber"), levelCount) << "frame " << num(s[i], "frame") << ": " << r.err;
        ASSERT_NE(num(s[i], "gameState"), 3) << "level 9 ran out of time";
        ASSERT_GE(num(s[i], "collectedCount"), num(s[i - 1], "collectedCount"));
        if (num(s[i], "collectedCount") == 2000) {
            done = i;
        }
    }
    ASSERT_GT(done, 0u) << "collected " << num(s.back(), "collectedCount") << " of 2000";
    ASSERT_LT(done + 3, s.size());
    const JsonValue& last = s[done];
    const JsonValue& completing = s[done + 1];
    std::cout << "level 9 completed by frame " << num(completing, "frame") << " with " << num(last, "levelTime")
              << " of 700 used\n";
    EXPECT_EQ(num(last, "gameState"), 1);
    EXPECT_LT(num(last, "levelTime"), 700);
    EXPECT_EQ(num(completing, "levelNumber"), gameCompleted);
    EXPECT_EQ(num(completing, "gameState"), 2);
    EXPECT_EQ(num(completing, "collectedCount"), 0);
    EXPECT_FLOAT_EQ(num(completing, "levelTime"), 0.1f);
    EXPECT_EQ(num(completing, "score"), bonus(700, num(last, "levelTime"), 0));
    EXPECT_GT(num(completing, "score"), 0);
    EXPECT_EQ(vec(completing, "ship", "position", 1), 20);

    // The final screen from the next frame on: nothing moves or counts.
    for (std::size_t i = done + 2; i < s.size(); ++i) {
        ASSERT_EQ(num(s[i], "levelNumber"), gameCompleted);
        ASSERT_EQ(num(s[i], "score"), num(completing, "score"));
        ASSERT_EQ(num(s[i], "levelTime"), num(completing, "levelTime"));
        ASSERT_EQ(vec(s[i], "ship", "position", 0), vec(completing, "ship", "position", 0));
        ASSERT_EQ(num(s[i], "particleHead"), num(completing, "particleHead"));
    }
    const ScreenImage image(shot);
    ASSERT_TRUE(image.ok()) << image.error();
    EXPECT_GT(image.countBlue(textBox("congratulations", 0.5, 0.5, 0.05, 0.05)), 5);
    EXPECT_GT(image.countBlue(textBox("score", 0.4, -0.25, 0.1, 0.1)), 5);
}

// The whole game from the title, level by level, with the autopilot alone.
// Minutes of play: run with GLIMMERFALL_E2E_LONG=1. Prints each level's
// frames against its limit; completion adds the time left to the score,
// running out of time repeats the level with the score kept.
TEST(Autopilot, PlaysTheWholeGameFromTheTitleToTheFinalScreen)
{
    if (std::getenv("GLIMMERFALL_E2E_LONG") == nullptr) {
        GTEST_SKIP() << "a whole game of autopilot play takes minutes; set GLIMMERFALL_E2E_LONG=1";
    }
    static const int limits[10] = {0, 500, 250, 250, 600, 700, 200, 950, 150, 700};
    RunOptions options;
    options.size = "8x8";
    options.timeoutSeconds = 3600;
    const RunResult r = runScript(repeat("autopilot 10\nstate\n", 7000) + "quit\n", options);
    ASSERT_EQ(r.exitCode, 1) << r.err;
    const std::vector<JsonValue> s = r.states();
    ASSERT_FALSE(s.empty()) << r.err;

    int expectedScore = 0;
    int timeOuts = 0;
    for (std::size_t i = 1; i < s.size(); ++i) {
        const JsonValue& before = s[i - 1];
        const JsonValue& now = s[i];
        const int was = static_cast<int>(num(before, "levelNumber"));
        if (num(now, "gameState") == 3 && num(before, "gameState") == 1) {
            ++timeOuts;
            std::cout << "level " << was << " ran out of time with " << num(before, "collectedCount")
                      << " of 2000 collected\n";
        }
        if (was >= 1 && num(now, "levelNumber") == was + 1) {
            // At most ten frames lie between the two states: the bonus is the
            // time left at completion, within a unit of the last state seen.
            const int gained = static_cast<int>(num(now, "score")) - expectedScore;
            const double used = num(before, "levelTime");
            EXPECT_LE(gained, limits[was] - used + 0.01) << "level " << was;
            EXPECT_GE(gained, limits[was] - used - 2.0) << "level " << was;
            expectedScore += gained;
            std::cout << "level " << was << ": about " << static_cast<int>(used * 10) << " frames of "
                      << limits[was] * 10 << ", bonus " << gained << ", score " << expectedScore << "\n";
        }
        ASSERT_EQ(num(now, "score"), expectedScore) << "frame " << num(now, "frame");
    }
    std::cout << timeOuts << " time-outs; final level " << num(s.back(), "levelNumber") << ", score "
              << num(s.back(), "score") << "\n";
    EXPECT_EQ(num(s.back(), "levelNumber"), gameCompleted) << "the final screen was not reached";
    EXPECT_EQ(timeOuts, 0);
}

}  // namespace
