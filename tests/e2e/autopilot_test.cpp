// The autopilot plays the real game through the runner with the keyboard
// alone: it must complete the first level within its time limit, and the
// level-complete screen must show the new level and the score.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "runner_process.h"
#include "screen_image.h"

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
    EXPECT_EQ(image.strayPixels({words, level, scoreWord, scoreDigits}, 6), 0);
}

// Left to itself, the autopilot must move on from the level-complete screen:
// its Space presses have to reach a frame as fresh presses through the loop,
// which runs two frames per turn and takes one message a turn.
TEST(Autopilot, MovesOnFromTheLevelCompleteScreen)
{
    if (sanitizedBuild()) {
        GTEST_SKIP() << "a level of autopilot play takes minutes under the sanitizers";
    }
    RunOptions options;
    options.size = "8x8";
    const RunResult r = runScript("autopilot 2100\nstate\nquit\n", options);
    ASSERT_EQ(r.exitCode, 1) << r.err;
    const std::vector<JsonValue> s = r.states();
    ASSERT_EQ(s.size(), 1u) << r.err;
    EXPECT_EQ(num(s[0], "levelNumber"), 2);
    EXPECT_EQ(num(s[0], "gameState"), 1) << "still on the level-complete screen";
}

// How far the autopilot gets from a fresh start, level by level. Minutes of
// play: run with GLIMMERFALL_E2E_LONG=1. After each stretch Space is seen
// released for two frames, so that a waiting screen can take the next press.
TEST(Autopilot, PlaysThroughAsFarAsItGets)
{
    if (std::getenv("GLIMMERFALL_E2E_LONG") == nullptr) {
        GTEST_SKIP() << "a whole game of autopilot play takes minutes; set GLIMMERFALL_E2E_LONG=1";
    }
    RunOptions options;
    options.size = "8x8";
    options.timeoutSeconds = 3600;
    const RunResult r = runScript(repeat("autopilot 100\nstate\nframes 2\nstate\n", 400) + "quit\n", options);
    ASSERT_EQ(r.exitCode, 1) << r.err;
    const std::vector<JsonValue> s = r.states();
    ASSERT_FALSE(s.empty()) << r.err;

    // Each level's last state before it changed: completion adds the time
    // left to the score; running out of time repeats the level.
    int expectedScore = 0;
    int completions = 0;
    int timeOuts = 0;
    for (std::size_t i = 1; i < s.size(); ++i) {
        const int was = static_cast<int>(num(s[i - 1], "levelNumber"));
        const int now = static_cast<int>(num(s[i], "levelNumber"));
        if (num(s[i], "gameState") == 3 && num(s[i - 1], "gameState") == 1) {
            ++timeOuts;
            std::cout << "level " << was << " ran out of time by frame " << num(s[i], "frame") << "\n";
        }
        if (now == was + 1 && was >= 1) {
            ++completions;
            const int gained = static_cast<int>(num(s[i], "score")) - expectedScore;
            expectedScore += gained;
            EXPECT_GE(gained, 0);
            std::cout << "level " << was << " completed by frame " << num(s[i], "frame") << ", bonus " << gained
                      << ", score " << expectedScore << "\n";
        }
        EXPECT_EQ(num(s[i], "score"), expectedScore);
    }
    std::cout << completions << " levels completed, " << timeOuts << " time-outs, final level "
              << num(s.back(), "levelNumber") << ", score " << num(s.back(), "score") << "\n";
    EXPECT_GE(completions, 1);
    EXPECT_GT(num(s.back(), "score"), 0);
}

}  // namespace
