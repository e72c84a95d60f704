// The game under faults, through the scripted runner: each listed data file
// missing or broken in turn, no sound output, and a pad pulled out mid-game.
// Each damaged copy is played for 200 frames by the autopilot (it collects
// its first pickups after about 170), so the tests stay quick;
// GLIMMERFALL_FAULT_FRAMES=600 (any count from 200 up) plays longer.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "data_files.h"
#include "data_folder.h"
#include "runner_process.h"

namespace {

enum class Damage {
    Missing,
    Truncated,   // cut to `value` bytes, or to half when value is 0
    LyingField,  // the little-endian 32-bit field at `offset` set to `value`
    LyingShort,  // the little-endian 16-bit field at `offset` set to `value`
};

struct Fault {
    std::string name;  // the test's name
    const char* file;
    Damage damage;
    std::uint32_t offset;
    std::uint32_t value;
    bool reported;  // the game names the file on stderr
};

// What ctest shows for each case.
void PrintTo(const Fault& f, std::ostream* os)
{
    *os << f.file;
}

int faultFrames()
{
    const char* text = std::getenv("GLIMMERFALL_FAULT_FRAMES");
    const int frames = text != nullptr ? std::atoi(text) : 0;
    return frames >= 200 ? frames : 200;
}

void damage(const std::string& path, const Fault& f)
{
    if (f.damage == Damage::Missing) {
        ASSERT_TRUE(std::filesystem::remove(path)) << path;
        return;
    }
    std::string bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ASSERT_GT(bytes.size(), 60u) << path;
    if (f.damage == Damage::Truncated) {
        bytes.resize(f.value != 0 ? f.value : bytes.size() / 2);
    } else {
        const int width = f.damage == Damage::LyingField ? 4 : 2;
        for (int i = 0; i < width; ++i) {
            bytes[f.offset + i] = static_cast<char>((f.value >> (8 * i)) & 0xFF);
        }
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// BMP: width at 18, height at 22, bit count at 28, pixel offset at 10.
// WAV: "fmt " size at 16, "data" size at 40 (the generator's layout).
const Fault damagedFiles[] = {
    {"EarthHeightLies", dataFiles::earthImage, Damage::LyingField, 22, 0x100000, true},
    {"MoonTruncated", dataFiles::moonImage, Damage::Truncated, 0, 0, true},
    {"GlowOffsetPastTheEnd", dataFiles::particleImage, Damage::LyingField, 10, 0x7FFFFFF0, true},
    {"FontCutInItsHeader", dataFiles::fontImage, Damage::Truncated, 0, 30, true},
    {"ShipWidthLies", dataFiles::shipImage, Damage::LyingField, 18, 0x7FFFFFFF, true},
    {"MusicFormatSizeLies", dataFiles::musicSound, Damage::LyingField, 16, 0x7FFFFFF0, true},
    {"ChimeCutInItsHeader", dataFiles::pickupSound, Damage::Truncated, 0, 30, true},
    {"EngineWithoutSamples", dataFiles::thrustSound, Damage::Truncated, 0, 44, true},
    // Damage the readers accept: a short figure file fills what it holds, a
    // short data chunk plays what is there, an image of another depth is a
    // transparent texture. They must not crash either.
    {"FiguresTruncated", dataFiles::ragdollFigure, Damage::Truncated, 0, 100, false},
    {"MusicTruncated", dataFiles::musicSound, Damage::Truncated, 0, 0, false},
    {"EngineDataSizeLies", dataFiles::thrustSound, Damage::LyingField, 40, 0xFFFFFFF0, false},
    {"ShipBitCountLies", dataFiles::shipImage, Damage::LyingShort, 28, 99, false},
};

// Every listed file missing (EarthImageMissing ...), then the damaged ones.
std::vector<Fault> faults()
{
    std::vector<Fault> all;
    for (const DataFile& file : dataFiles::all) {
        std::string name = std::string(file.name) + "Missing";
        name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
        all.push_back({name, file.fileName, Damage::Missing, 0, 0, true});
    }
    all.insert(all.end(), std::begin(damagedFiles), std::end(damagedFiles));
    return all;
}

class DataFault : public ::testing::TestWithParam<Fault> {};

TEST_P(DataFault, TheGameStartsAndPlaysOn)
{
    const Fault& f = GetParam();
    const DataCopy data(tempPath("data_" + f.name));
    ASSERT_NO_FATAL_FAILURE(damage(data.file(f.file), f));

    const int frames = faultFrames();
    RunOptions options = sized("32x32");
    options.data = data.path();
    const RunResult r = runScript("autopilot " + std::to_string(frames) + "\nstate\n", options);
    ASSERT_EQ(r.exitCode, 1) << "runner crashed or failed; stderr:\n" << r.err;
    EXPECT_EQ(r.err.find("GL error"), std::string::npos) << r.err;
    ASSERT_EQ(r.lines.size(), 1u) << r.err;
    const JsonValue s = parseLine(r.lines[0]);
    EXPECT_EQ(num(s, "frame"), frames);
    EXPECT_EQ(num(s, "gameState"), 1);
    EXPECT_EQ(num(s, "levelNumber"), 1);
    // Played all along: the clock ran and pickups
    // were collected (with the chime, or without it when it is gone).
    EXPECT_GT(num(s, "levelTime"), 0.1 * (frames - 10));
    EXPECT_GT(num(s, "collectedCount"), 0);

    if (f.reported) {
        EXPECT_NE(r.err.find(std::string("\"") + f.file + "\""), std::string::npos) << r.err;
    }
}

INSTANTIATE_TEST_SUITE_P(EachDataFile, DataFault, ::testing::ValuesIn(faults()),
                         [](const ::testing::TestParamInfo<Fault>& i) { return i.param.name; });

TEST(SoundFault, TheRunnerNeedsNoSoundBackend)
{
    // The runner mixes its sound itself (OpenAL Soft's loopback output), so a
    // machine without a working backend plays it all the same; the window
    // game's message for a missing output is tested with the game binary.
    RunOptions options = sized("32x32");
    options.env = {"ALSOFT_DRIVERS=no-such-backend"};
    const RunResult r = runScript("frames 5\nstate\n", options);
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.lines.size(), 1u);
}

TEST(PadFault, APadPulledOutMidGameLeavesTheGameOnTheKeyboard)
{
    const RunResult r = runScript(
        "pad attach\n"
        "frames 2\n"
        "pad button 0 down\n"  // starts the game and then thrusts
        "frames 3\n"
        "pad axis 32767\n"
        "frames 20\n"
        "state\n"
        "pad detach\n"  // with the thrust button still held
        "frames 5\n"
        "state\n"
        "key down w\n"
        "key down a\n"
        "frames 30\n"
        "state\n"
        "key up w\n"
        "key up a\n"
        "frames 5\n"
        "state\n",
        sized("32x32"));
    ASSERT_EQ(r.exitCode, 1) << r.err;
    ASSERT_EQ(r.lines.size(), 4u) << r.err;
    const JsonValue onPad = parseLine(r.lines[0]);
    const JsonValue pulled = parseLine(r.lines[1]);
    const JsonValue keys = parseLine(r.lines[2]);
    const JsonValue released = parseLine(r.lines[3]);

    EXPECT_EQ(num(onPad, "controls", "joystickUsable"), 1);
    EXPECT_EQ(num(onPad, "gameState"), 1);
    EXPECT_LT(num(onPad, "ship", "thrustInput"), 0);  // the held button thrusts
    EXPECT_GT(num(onPad, "ship", "turnInput"), 0);    // the stick steers

    // Gone: the game says so, and the button held at that moment lets go.
    EXPECT_EQ(num(pulled, "controls", "joystickUsable"), 0);
    EXPECT_EQ(num(pulled, "gameState"), 1);
    EXPECT_EQ(num(pulled, "controls", "button0"), 0);
    EXPECT_EQ(num(pulled, "ship", "thrustInput"), 0);

    // The keyboard flies the ship from here on.
    EXPECT_EQ(num(keys, "controls", "joystickUsable"), 0);
    EXPECT_EQ(num(keys, "gameState"), 1);
    EXPECT_EQ(num(keys, "controls", "keyForward"), 1000);
    EXPECT_LT(num(keys, "ship", "thrustInput"), 0);
    EXPECT_LT(num(keys, "ship", "turnInput"), 0);  // A turns the other way from the stick
    EXPECT_GT(num(keys, "levelTime"), num(pulled, "levelTime"));

    EXPECT_EQ(num(released, "ship", "thrustInput"), 0);
    EXPECT_EQ(num(released, "controls", "keyTurn"), 0);
}

}  // namespace
