// Controllers plugged in while the game runs, end to end through the scripted
// runner: its virtual pad attached after the start, pulled out, and attached
// again is taken up by the game each time it comes.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<std::string> stateLines(const std::string& script)
{
    const std::string command = std::string("cd '" GLIMMERFALL_TEST_DATA_DIR "' && printf '") + script +
                                "' | ALSOFT_DRIVERS=null '" GLIMMERFALL_SCRIPT_BINARY "' --size 32x32 2>/dev/null";
    std::vector<std::string> lines;
    if (FILE* p = popen(command.c_str(), "r")) {
        char line[8192];
        while (fgets(line, sizeof line, p) != nullptr) {
            lines.emplace_back(line);
        }
        pclose(p);
    }
    return lines;
}

bool has(const std::string& line, const std::string& part) { return line.find(part) != std::string::npos; }

TEST(ControllerHotPlug, APadAttachedAfterTheStartDetachedAndAttachedAgainDrivesTheGameEachTime)
{
    const std::vector<std::string> s = stateLines(
        "frames 3\\nstate\\n"
        "pad attach\\npad button 0 down\\nframes 3\\nstate\\n"
        "pad detach\\nframes 3\\nstate\\n"
        "pad attach\\npad axis 32767\\nframes 3\\nstate\\nquit\\n");
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
