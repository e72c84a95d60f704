// Controllers plugged in while the game runs, end to end through the scripted
// runner: its virtual pad attached after the start, pulled out, and attached
// again is taken up by the game each time it comes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runner_process.h"

namespace {

std::vector<std::string> stateLines(const std::string& script)
{
    RunOptions options = sized("32x32");
    options.scriptOnStdin = true;
    return runScript(script, options).lines;
}

bool has(const std::string& line, const std::string& part) { return line.find(part) != std::string::npos; }

TEST(ControllerHotPlug, APadAttachedAfterTheStartDetachedAndAttachedAgainDrivesTheGameEachTime)
{
    const std::vector<std::string> s = stateLines(
        "frames 3\nstate\n"
        "pad attach\npad button 0 down\nframes 3\nstate\n"
        "pad detach\nframes 3\nstate\n"
        "pad attach\npad axis 32767\nframes 3\nstate\nquit\n");
    ASSERT_EQ(s.size(), 4u);
    EXPECT_TRUE(has(s[0], "\"joystickUsable\": 0")) << s[0];
    EXPECT_TRUE(has(s[1], "\"joystickUsable\": 1")) << s[1];
    EXPECT_TRUE(has(s[1], "\"button0\": 128")) << s[1];
    EXPECT_FALSE(has(s[1], "\"gameState\": 0,")) << "the pad's button left the title screen: " << s[1];
    EXPECT_TRUE(has(s[2], "\"joystickUsable\": 0")) << s[2];
    EXPECT_TRUE(has(s[2], "\"button0\": 0,")) << s[2];
    EXPECT_TRUE(has(s[3], "\"joystickUsable\": 1")) << s[3];
    EXPECT_FALSE(has(s[3], "\"lX\": 0,")) << "the stick steers: " << s[3];
}

}  // namespace
