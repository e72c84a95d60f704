// The real game over the Windows host, flown by the runner's autopilot
// through Windows' own key messages (with their keyboard scan codes), with
// the player's records and the game's recording kept in a folder of the
// test: clearing level 1 writes its best bonus, dated by the clock; the
// window closed during the next level keeps the replay whole.
#include <gtest/gtest.h>
#include <windows.h>

#include <ctime>
#include <filesystem>

#include "app/program.h"
#include "app/record_book.h"
#include "app/win32_window_host.h"
#include "autopilot.h"
#include "data_folder.h"
#include "game/glimmerfall_game.h"
#include "game/replay_identity.h"
#include "game/replay_recorder.h"
#include "store/records_file.h"

namespace {

namespace fs = std::filesystem;

GameData gameData;

// The game, and after each of its frames the autopilot's choice for the next
// one, pressed as a player's keys would be: posted to the window, taken by
// the host before the next frame. Once level 2 has begun the window is
// closed.
class PilotedGame final : public Game {
public:
    PilotedGame(GlimmerfallGame& game, Win32WindowHost& host) : game_(game), host_(host) {}

    void created() override { game_.created(); }
    void setupRendering(int width, int height) override { game_.setupRendering(width, height); }
    void activated(bool active) override { game_.activated(active); }
    void input(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam) override
    {
        game_.input(message, wParam, lParam);
    }
    void frame() override
    {
        game_.frame();
        ++frames;
        if (gameData.session.levelNumber >= 2 || frames > 3000) {
            PostMessageW(host_.window(), WM_CLOSE, 0, 0);
            return;
        }
        const AutopilotKeys next = pilot_.next(autopilotViewOf(gameData, gameController));
        const struct {
            bool was;
            bool now;
            WPARAM key;
            LPARAM scanCode;
        } changes[] = {{held_.w, next.w, 'W', 0x11},
                       {held_.s, next.s, 'S', 0x1F},
                       {held_.a, next.a, 'A', 0x1E},
                       {held_.d, next.d, 'D', 0x20},
                       {held_.space, next.space, VK_SPACE, 0x39}};
        for (const auto& c : changes) {
            if (c.was != c.now) {
                const LPARAM data = 1 | (c.scanCode << 16) | (c.now ? 0 : static_cast<LPARAM>(0xC0000000u));
                PostMessageW(host_.window(), c.now ? WM_KEYDOWN : WM_KEYUP, c.key, data);
            }
        }
        held_ = next;
    }

    int frames = 0;

private:
    GlimmerfallGame& game_;
    Win32WindowHost& host_;
    Autopilot pilot_;
    AutopilotKeys held_;
};

TEST(RecordsOnWindows, ClearingLevelOneKeepsItsBestDatedAndTheClosedGameAsAReplay)
{
    ASSERT_TRUE(SetCurrentDirectoryA(dataFolder().c_str()));
    const fs::path folder = fs::temp_directory_path() / ("gf_records_" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(folder);
    const std::int64_t before = std::time(nullptr);

    Win32WindowHost host(GetModuleHandleW(nullptr), WindowMode::windowed, 320, 240);
    ASSERT_TRUE(host.start());
    RecordBook book(folder, true);
    GlimmerfallGame game(gameData, &book);
    ReplayRecorder recorder;
    ASSERT_EQ(recorder.open(folder / "last.replay", replayHeaderHere(dataFilesChecksum())), "");
    game.record(&recorder);
    PilotedGame piloted(game, host);
    EXPECT_EQ(runGame(host, piloted), 1);
    ASSERT_EQ(recorder.finish(), "");

    ASSERT_EQ(gameData.session.levelNumber, 2) << "level 1 not cleared in " << piloted.frames << " frames";
    const LoadedRecords kept = loadRecordsFile(folder / recordsFileName);
    EXPECT_EQ(kept.notice.notice, "");
    ASSERT_TRUE(kept.records.levels[0].has_value());
    EXPECT_EQ(kept.records.levels[0]->score, gameData.session.score);
    EXPECT_GT(kept.records.levels[0]->score, 0);
    EXPECT_GE(kept.records.levels[0]->date, before);
    EXPECT_LE(kept.records.levels[0]->date, static_cast<std::int64_t>(std::time(nullptr)));
    EXPECT_FALSE(kept.records.levels[1].has_value());
    EXPECT_FALSE(kept.records.game.has_value());

    // The replay has every frame from the title to the close, its trailer
    // the score the game ended with.
    ReplayReader reader;
    ASSERT_EQ(reader.open(folder / "last.replay", replayExpectationHere(dataFilesChecksum())), ReplayRefusal::none)
        << reader.error();
    EXPECT_EQ(reader.header().platform, Platform::windows);
    EXPECT_EQ(reader.trailer().frameCount, static_cast<std::uint32_t>(piloted.frames));
    EXPECT_EQ(reader.trailer().finalScore, gameData.session.score);
    std::printf("level 1 cleared by the autopilot under Wine in %d frames, bonus %lld\n", piloted.frames,
                static_cast<long long>(kept.records.levels[0]->score));
    fs::remove_all(folder);
}

}  // namespace
