// glimmerfall-script end to end: the real game on the generated data files,
// offscreen, at a small size so each run is quick.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "png_check.h"
#include "runner_process.h"

namespace {

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A run with the given command-line words before the script instead of the
// usual size.
RunResult runWith(const std::string& script, std::vector<std::string> words)
{
    RunOptions options;
    options.rawOptions = std::move(words);
    return runScript(script, options);
}

TEST(ScriptRunner, BadScriptsAndOptionsEndWithExitCodeTwoBeforeTheGameStarts)
{
    RunResult r = runScript("frames 1\nstate\nfly away\n");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("line 3: unknown command 'fly'"), std::string::npos) << r.err;
    EXPECT_TRUE(r.lines.empty());

    EXPECT_EQ(runWith("quit\n", {"--size", "0x5"}).exitCode, 2);
    EXPECT_EQ(runWith("quit\n", {"--size", "160"}).exitCode, 2);
    EXPECT_EQ(runWith("quit\n", {"--fast"}).exitCode, 2);
    EXPECT_EQ(runWith("quit\n", {"--audio-out"}).exitCode, 2);
    r = runWith("frames 1\nstate\n", {"--size", "32x32", "--audio-out", "/nonexistent-folder/mix.wav"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("cannot create /nonexistent-folder/mix.wav"), std::string::npos) << r.err;
    EXPECT_TRUE(r.lines.empty());
}

TEST(ScriptRunner, ARecordingThatCannotBeWrittenIsAFailure)
{
    // The device is full: the game plays to the end, but the run fails.
    const RunResult r = runWith("frames 5\nstate\n", {"--size", "32x32", "--audio-out", "/dev/full"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.lines.size(), 1u);
    EXPECT_NE(r.err.find("cannot write /dev/full"), std::string::npos) << r.err;
}

TEST(ScriptRunner, CommandsThatFailWhileRunningNameTheirLine)
{
    RunResult r = runScript("frames 1\npad axis 100\nframes 5\n");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("line 2: no pad is attached"), std::string::npos) << r.err;

    r = runScript("frames 1\nscreenshot /nonexistent-folder/shot.png\n");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("line 2: cannot write /nonexistent-folder/shot.png"), std::string::npos) << r.err;
}

TEST(ScriptRunner, FramesCountExactlyAndStateLinesAreJson)
{
    const RunResult r = runScript(
        "state\n"
        "frames 1\n"
        "state\n"
        "key down space\n"
        "frames 3\n"
        "state\n"
        "frames 0\n"
        "key up space\n"
        "frames 10\n"
        "state\n"
        "quit\n");
    EXPECT_EQ(r.exitCode, 1) << r.err;
    ASSERT_EQ(r.lines.size(), 4u) << r.err;
    const JsonValue s0 = parseLine(r.lines[0]);
    const JsonValue s1 = parseLine(r.lines[1]);
    const JsonValue s2 = parseLine(r.lines[2]);
    const JsonValue s3 = parseLine(r.lines[3]);
    EXPECT_EQ(num(s0, "frame"), 0);
    EXPECT_EQ(num(s1, "frame"), 1);
    EXPECT_EQ(num(s2, "frame"), 4);
    EXPECT_EQ(num(s3, "frame"), 14);

    // The title screen until Space; then play on the first level.
    EXPECT_EQ(num(s1, "gameState"), 0);
    EXPECT_EQ(num(s1, "controls", "joystickUsable"), 0);  // no pad in this run
    EXPECT_EQ(num(s2, "controls", "keyButton"), 1000);
    EXPECT_EQ(num(s3, "gameState"), 1);
    EXPECT_EQ(num(s3, "levelNumber"), 1);
    EXPECT_EQ(num(s3, "controls", "keyButton"), 0);
    EXPECT_GT(num(s3, "levelTime"), 0);
}

TEST(ScriptRunner, ScreenshotsAreRgbPngsOfTheCurrentBufferSize)
{
    const std::string title = tempPath("title.png");
    const std::string resized = tempPath("resized.png");
    const RunResult r = runScript("frames 2\nscreenshot " + title + "\nresize 200 100\nframes 1\nscreenshot " +
                            resized + "\nquit\n");
    ASSERT_EQ(r.exitCode, 1) << r.err;

    auto load = [](const std::string& path) {
        const std::string bytes = readText(path);
        return decodePng(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    };
    const DecodedPng t = load(title);
    ASSERT_TRUE(t.ok) << t.error;
    EXPECT_EQ(t.width, 160);
    EXPECT_EQ(t.height, 128);
    // The title screen: blue text on black, nothing else.
    int blue = 0;
    int black = 0;
    for (int y = 0; y < t.height; ++y) {
        for (int x = 0; x < t.width; ++x) {
            const std::uint8_t* p = t.pixel(x, y);
            blue += (p[2] > 100 && p[0] < 60 && p[1] < 60) ? 1 : 0;
            black += (p[0] + p[1] + p[2] == 0) ? 1 : 0;
        }
    }
    EXPECT_GT(blue, 50);
    EXPECT_GT(black, t.width * t.height / 2);
    // The text sits in the upper part of the picture.
    int blueTop = 0;
    for (int y = 0; y < t.height / 2; ++y) {
        for (int x = 0; x < t.width; ++x) {
            blueTop += t.pixel(x, y)[2] > 100 ? 1 : 0;
        }
    }
    EXPECT_GT(blueTop, blue / 2);

    const DecodedPng s = load(resized);
    ASSERT_TRUE(s.ok) << s.error;
    EXPECT_EQ(s.width, 200);
    EXPECT_EQ(s.height, 100);
}

TEST(ScriptRunner, AVirtualPadAttachedAtStartDrivesTheGameUntilItGoes)
{
    const RunResult r = runScript(
        "pad attach\n"
        "frames 2\n"
        "state\n"
        "pad button 0 down\n"
        "pad axis 32767\n"
        "frames 3\n"
        "state\n"
        "pad detach\n"
        "frames 2\n"
        "state\n"
        "quit\n");
    ASSERT_EQ(r.exitCode, 1) << r.err;
    ASSERT_EQ(r.lines.size(), 3u) << r.err;
    const JsonValue before = parseLine(r.lines[0]);
    const JsonValue pressed = parseLine(r.lines[1]);
    const JsonValue gone = parseLine(r.lines[2]);
    EXPECT_EQ(num(before, "controls", "joystickUsable"), 1);
    EXPECT_EQ(num(before, "gameState"), 0);
    EXPECT_EQ(num(pressed, "levelNumber"), 1);  // button A left the title screen
    EXPECT_EQ(num(pressed, "gameState"), 1);
    EXPECT_EQ(num(pressed, "controls", "joystickUsable"), 1);
    EXPECT_EQ(num(gone, "controls", "joystickUsable"), 0);
}

TEST(ScriptRunner, AutopilotStartsTheGameAndTheEndOfTheScriptQuits)
{
    const RunResult r = runScript("autopilot 8\nstate\nframes 2\nstate\n");
    EXPECT_EQ(r.exitCode, 1) << r.err;
    ASSERT_EQ(r.lines.size(), 2u) << r.err;
    const JsonValue s = parseLine(r.lines[0]);
    EXPECT_EQ(num(s, "frame"), 8);
    EXPECT_EQ(num(s, "gameState"), 1);
    EXPECT_EQ(num(s, "levelNumber"), 1);
    // The autopilot lets its keys go when its frames are done; the loop
    // takes those releases like any other key messages.
    const JsonValue after = parseLine(r.lines[1]);
    EXPECT_EQ(num(after, "frame"), 10);
    EXPECT_EQ(num(after, "controls", "keyForward"), 0);
    EXPECT_EQ(num(after, "controls", "keyTurn"), 0);
}

// `level N` leaves the game as a completed level does: Space still held from
// play does not pass the level-complete screen; it has to be let go of and
// pressed again.
TEST(ScriptRunner, LevelStartWaitsForAFreshPress)
{
    const RunResult r = runScript("key down space\nframes 3\nlevel 8\nframes 5\nstate\n"
                                  "key up space\nframes 2\nkey down space\nframes 3\nstate\n");
    ASSERT_EQ(r.exitCode, 1) << r.err;
    const std::vector<JsonValue> s = r.states();
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(num(s[0], "gameState"), 2) << "the held button passed the screen";
    EXPECT_EQ(num(s[0], "levelNumber"), 8);
    EXPECT_EQ(num(s[1], "gameState"), 1);
}

}  // namespace
