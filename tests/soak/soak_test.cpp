// Long runs through the scripted runner, kept short enough for every test
// run (scripts/soak is the full 100 000-frame run): the autopilot plays past
// the first level with no GL error and no growth of resident memory, and
// many size changes leave the game's six textures and no more.
#include <gtest/gtest.h>

#include <string>

#include "runner_process.h"

namespace {

TEST(Soak, AutopilotPlaysPastTheFirstLevelWithoutGlErrorsOrGrowingMemory)
{
    if (sanitizedBuild()) {
        GTEST_SKIP() << "resident memory under AddressSanitizer holds its quarantine; the plain build checks it";
    }
    constexpr int chunks = 16;
    constexpr int chunkFrames = 200;
    std::string script = "stats\n";
    for (int i = 0; i < chunks; ++i) {
        script += "autopilot " + std::to_string(chunkFrames) + "\nstats\n";
    }
    const RunResult r = runScript(script, sized("48x32"));
    ASSERT_EQ(r.exitCode, 1) << "3 means a GL error\n" << r.err;
    EXPECT_EQ(r.err.find("GL error"), std::string::npos) << r.err;
    ASSERT_EQ(r.lines.size(), static_cast<std::size_t>(chunks + 1)) << r.err;

    int afterFirstLevel = -1;
    for (int i = 0; i <= chunks; ++i) {
        const JsonValue s = parseLine(r.lines[static_cast<std::size_t>(i)]);
        EXPECT_EQ(num(s, "frame"), i * chunkFrames);
        EXPECT_EQ(num(s, "textureNames"), 6);
        EXPECT_GT(num(s, "residentKiB"), 0);
        if (afterFirstLevel < 0 && num(s, "levelNumber") >= 2) {
            afterFirstLevel = i;
        }
    }
    ASSERT_GE(afterFirstLevel, 0) << "the autopilot never finished the first level";
    ASSERT_LT(afterFirstLevel, chunks - 3) << "too few frames left after the first level to compare";

    // Nothing is allocated per frame: after the first level the resident
    // memory stays within a little noise of where it was.
    const double atLevelTwo = num(parseLine(r.lines[static_cast<std::size_t>(afterFirstLevel)]), "residentKiB");
    const double atEnd = num(parseLine(r.lines.back()), "residentKiB");
    EXPECT_LE(atEnd - atLevelTwo, 2048) << "resident KiB after level 1: " << atLevelTwo << ", at the end: " << atEnd;
}

TEST(Soak, AHundredSizeChangesLeaveExactlySixTextureNames)
{
    std::string script = "autopilot 3\nstats\n";
    for (int i = 0; i < 100; ++i) {
        // Sizes of every shape, including wider than high and one pixel.
        const int width = i % 10 == 0 ? 1 : 24 + (i * 7) % 40;
        const int height = i % 10 == 5 ? 1 : 16 + (i * 11) % 30;
        script += "resize " + std::to_string(width) + " " + std::to_string(height) + "\nautopilot 1\n";
    }
    script += "stats\n";
    const RunResult r = runScript(script, sized("32x32"));
    ASSERT_EQ(r.exitCode, 1) << "3 means a GL error\n" << r.err;
    ASSERT_EQ(r.lines.size(), 2u) << r.err;
    const JsonValue before = parseLine(r.lines[0]);
    const JsonValue after = parseLine(r.lines[1]);
    EXPECT_EQ(num(before, "textureNames"), 6);
    EXPECT_EQ(num(after, "textureNames"), 6);
    EXPECT_EQ(num(after, "frame"), 103);
    EXPECT_EQ(num(after, "gameState"), 1);  // still playing
}

}  // namespace
