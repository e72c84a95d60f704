// Pause, volume and music through the runner, on its state lines and its
// recording (735 samples after every frame; frame f sounds in samples
// (f − 1)·735 … f·735, 44 later for the limiter's look-ahead).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "runner_process.h"
#include "wave_capture.h"

namespace {

constexpr std::size_t samplesPerFrame = 735;

constexpr std::size_t frameStart(long f) { return static_cast<std::size_t>(f - 1) * samplesPerFrame; }

// The title screen, Space, and the first level with W and A held, the ship
// circling where no pickup lies: 112 frames.
const std::string flying = "frames 10\nkey down space\nframes 2\nkey up space\nkey down w\nkey down a\nframes 100\n";
constexpr long flyingFrames = 112;

const std::string pressP = "key down p\nframes 2\nkey up p\n";

// Every run ends as the game does and leaves a whole recording.
std::vector<Recorded> record(const std::vector<std::string>& scripts, const std::string& name)
{
    std::vector<Recorded> out = recordScripts(scripts, name);
    for (const Recorded& r : out) {
        EXPECT_EQ(r.run.exitCode, 1) << r.run.err;
        EXPECT_TRUE(r.wave.ok) << r.wave.error;
    }
    return out;
}

// A state line without what a pause leaves free to change: the frame, the
// keys and buttons, and the engine's level.
std::string heldByPause(const std::string& line)
{
    static const std::regex free("\"frame\": [0-9]+|\"controls\": \\{[^}]*\\}|\"thrustLevel\": [0-9]+");
    return std::regex_replace(line, free, "");
}

float largestDifference(const std::vector<float>& a, const std::vector<float>& b, std::size_t from,
                        std::size_t to)
{
    float largest = 0.0f;
    for (std::size_t i = from; i < std::min({to, a.size(), b.size()}); ++i) {
        largest = std::max(largest, std::fabs(a[i] - b[i]));
    }
    return largest;
}

}  // namespace

// P pauses play with W and A held: for 300 frames every state value stays
// as it was but the frame, the keys and the engine's level, and once the
// engine has died away the sound is the same as a run that paused without
// thrust: the music alone. Space lets play go on. Losing the focus pauses
// too: nothing is heard until it comes back, the game stays paused, and
// the rest is the same as a pause by P.
TEST(Comfort, APauseHoldsTheGameStillAndSilencesTheEngine)
{
    const std::string paused = pressP + "state\nframes 300\nstate\n";
    const std::string resume = "key down space\nframes 3\nstate\n";
    const std::string quietStart = "frames 10\nkey down space\nframes 2\nkey up space\nframes 100\n";
    const std::vector<Recorded> runs = record({flying + paused + resume, quietStart + paused,
                                               flying + pressP + "focus off\nframes 300\nfocus on\nframes 20\n",
                                               flying + pressP + "frames 320\n", flying + "focus off\nframes 5\nstate\n"},
                                              "pause");
    const std::vector<JsonValue> s = runs[0].run.states();
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(num(s[0], "paused"), 1);
    EXPECT_EQ(num(s[1], "paused"), 1);
    EXPECT_EQ(num(s[1], "thrustLevel"), num(s[0], "thrustLevel")) << "the engine is muted, not spun down";
    EXPECT_EQ(num(s[1], "controls", "keyForward"), 1000) << "W is still held";
    EXPECT_EQ(heldByPause(runs[0].run.lines[1]), heldByPause(runs[0].run.lines[0]));
    EXPECT_EQ(num(s[2], "paused"), 0);
    EXPECT_GT(num(s[2], "levelTime"), num(s[1], "levelTime"));

    // After 30 paused frames the engine is gone: the sound is the one of the
    // run that paused without ever thrusting.
    const long pausedAt = flyingFrames + 1;
    const std::vector<float>& thrusting = runs[0].wave.mono;
    const std::vector<float>& still = runs[1].wave.mono;
    EXPECT_GT(largestDifference(thrusting, still, frameStart(pausedAt - 20), frameStart(pausedAt)), 0.01f);
    EXPECT_LT(largestDifference(thrusting, still, frameStart(pausedAt + 31), frameStart(pausedAt + 300)),
              2.0f / 32768.0f)
        << "the engine is heard while paused";

    // Unfocused: silence once the output has faded (two frames), the same
    // sound as the pause by P before and after.
    const std::vector<float>& unfocused = runs[2].wave.mono;
    const std::vector<float>& byKey = runs[3].wave.mono;
    const long off = pausedAt + 2;  // the first frame without the focus
    EXPECT_TRUE(std::all_of(unfocused.begin() + static_cast<long>(frameStart(off + 2)),
                            unfocused.begin() + static_cast<long>(frameStart(off + 300)),
                            [](float v) { return v == 0.0f; }));
    EXPECT_EQ(largestDifference(unfocused, byKey, 0, frameStart(off)), 0.0f);
    EXPECT_EQ(largestDifference(unfocused, byKey, frameStart(off + 301) + 44, unfocused.size()), 0.0f);

    // The focus lost in play pauses it.
    const std::vector<JsonValue> lost = runs[4].run.states();
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_EQ(num(lost[0], "paused"), 1);
}

// Each step of the master volume is 3 dB, down to silence at 0, and M turns
// the music off and on; measured on the title screen, where only the music
// plays and the limiter is idle. With the music off in play only the
// engine is left: the thrusting run less the quiet one.
TEST(Comfort, VolumeStepsAreThreeDecibelsAndMusicOffLeavesTheEffects)
{
    const std::string minus = "key down minus\nframes 2\nkey up minus\n";
    const std::string music = "key down m\nframes 2\nkey up m\n";
    const std::string play = "frames 10\nkey down space\nframes 2\nkey up space\nframes 100\n";
    const std::vector<Recorded> runs = record(
        {"frames 200\n", "frames 60\n" + minus + "frames 58\n" + minus + "frames 78\n",
         "frames 60\n" + repeat(minus + "frames 1\n", 11) + "frames 100\n", "frames 60\n" + music + "frames 138\n",
         play + "frames 2\nkey down w\nframes 198\n", play + "frames 200\n",
         play + music + "key down w\nframes 198\n"},
        "volume");
    const std::vector<float>& full = runs[0].wave.mono;
    const std::vector<float>& stepped = runs[1].wave.mono;
    const std::vector<float>& silenced = runs[2].wave.mono;
    const std::vector<float>& noMusic = runs[3].wave.mono;
    auto gainDb = [&](long from, long to) {
        return rmsDb(stepped, frameStart(from), frameStart(to)) - rmsDb(full, frameStart(from), frameStart(to));
    };
    EXPECT_NEAR(gainDb(70, 120), -3.0, 0.05);
    EXPECT_NEAR(gainDb(130, 200), -6.0, 0.05);
    EXPECT_GT(rmsDb(silenced, frameStart(40), frameStart(60)), -40.0);
    EXPECT_TRUE(std::all_of(silenced.begin() + static_cast<long>(frameStart(100)), silenced.end(),
                            [](float v) { return v == 0.0f; }))
        << "volume 0 is silence";
    EXPECT_TRUE(std::all_of(noMusic.begin() + static_cast<long>(frameStart(70)), noMusic.end(),
                            [](float v) { return v == 0.0f; }))
        << "music off on the title leaves nothing";

    // In play: W with the music off leaves the engine as loud as W less the
    // music (within the 0.3 dB the limiter's adaptive gain gives a mix with
    // music more than one without).
    const std::vector<float> engine = difference(runs[4].wave.mono, runs[5].wave.mono);
    const std::vector<float>& effects = runs[6].wave.mono;
    const std::size_t from = frameStart(125);
    EXPECT_GT(rmsDb(effects, from, effects.size()), -40.0) << "the engine is heard";
    EXPECT_NEAR(rmsDb(effects, from, effects.size()), rmsDb(engine, from, engine.size()), 0.5);
}

// The volume and music are kept in the settings folder the runner is given
// and read at the next start. A damaged file gives the defaults, one line
// naming it, and is kept aside; a folder that cannot be written is said once
// and the game plays on. Without --config nothing is read or written.
TEST(Comfort, SettingsAreKeptAndABadFileNeverStopsTheGame)
{
    namespace fs = std::filesystem;
    const fs::path folder = tempPath("config");
    fs::remove_all(folder);
    auto withConfig = [](const fs::path& config) {
        RunOptions o;
        o.rawOptions = {"--size", "32x32", "--config", config.string()};
        return o;
    };
    const std::string change = "frames 3\nkey down minus\nframes 2\nkey up minus\nkey down m\nframes 2\nkey up m\n"
                               "frames 2\nstate\n";
    RunResult r = runScript(change, withConfig(folder));
    ASSERT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.err, "");
    const JsonValue changed = r.states().at(0);
    EXPECT_EQ(num(changed, "masterVolume"), 9);
    EXPECT_EQ(num(changed, "musicOn"), 0);
    ASSERT_TRUE(fs::exists(folder / "settings.ini"));

    r = runScript("frames 2\nstate\n", withConfig(folder));
    ASSERT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(num(r.states().at(0), "masterVolume"), 9) << "not kept";
    EXPECT_EQ(num(r.states().at(0), "musicOn"), 0);

    std::ofstream(folder / "settings.ini") << "version = 1\n[sound]\nvolume = eleven\n";
    r = runScript("frames 2\nstate\n", withConfig(folder));
    ASSERT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(num(r.states().at(0), "masterVolume"), 10);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find("settings.ini"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::exists(folder / "settings.ini.damaged"));

    const fs::path blocked = tempPath("not_a_folder");
    std::ofstream(blocked) << "a file where the folder would go\n";
    r = runScript(change + "key down minus\nframes 2\nkey up minus\nframes 2\nstate\n", withConfig(blocked / "config"));
    ASSERT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(num(r.states().at(1), "masterVolume"), 8) << "the game plays on with its settings";
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find("cannot keep the settings"), std::string::npos) << r.err;

    // A player's own settings are never the runner's.
    const fs::path home = tempPath("player_config");
    fs::create_directories(home / "glimmerfall");
    std::ofstream(home / "glimmerfall" / "settings.ini") << "version = 1\n[sound]\nvolume = 3\n";
    RunOptions player = withConfig(folder);
    player.rawOptions = {"--size", "32x32"};
    player.env = {"XDG_CONFIG_HOME=" + home.string()};
    r = runScript(change, player);
    EXPECT_EQ(num(r.states().at(0), "masterVolume"), 9) << "the player's settings were read";
    std::ifstream kept(home / "glimmerfall" / "settings.ini");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "version = 1\n[sound]\nvolume = 3\n");
}
