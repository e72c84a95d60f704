// The window procedure and rendering set-up with the real world library, the
// real sound start-up (OpenAL Soft's null backend) and the generated data
// files, in an offscreen GL context. The game is a fake that records what the
// shell asks of it.
#include "app/window_proc.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/program.h"
#include "audio/game_sounds.h"
#include "data_folder.h"
#include "fake_game.h"
#include "fake_host.h"
#include "input/joystick.h"
#include "offscreen_gl.h"

namespace {

using Calls = std::vector<std::string>;

class WindowProcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(chdir(dataFolder().c_str()), 0) << dataFolder();
        ASSERT_TRUE(gl.ok());
        gameController.joystickUsable = 1;
    }

    void create(FakeHost& host) { ASSERT_TRUE(host.createWindow(windowProc, game)); }

    OffscreenGl gl{64, 64};
    FakeGame game;
};

TEST_F(WindowProcTest, CreationStartsTheSoundThenTheGameThenTheContextAndTheRenderingSetUp)
{
    FakeHost host;
    bool musicAtCreation = false;
    int contextsAtCreation = -1;
    game.onCreated = [&] {
        musicAtCreation = gameAudio.musicSound != nullptr && gameAudio.musicSound->isPlaying();
        contextsAtCreation = host.contextsCreated;
    };
    create(host);

    // The music starts before the first picture, and before the game itself.
    EXPECT_TRUE(musicAtCreation);
    EXPECT_EQ(contextsAtCreation, 0);
    EXPECT_EQ(host.contextsCreated, 1);
    EXPECT_TRUE(host.errorTexts.empty());
    // The rendering set-up is the game's, for the desktop's size, once the
    // context is made, and again as the window takes its size.
    EXPECT_EQ(game.calls, (Calls{"created", "setupRendering 1280 1024", "setupRendering 1280 1024"}));
}

TEST_F(WindowProcTest, PaintRunsOneFrameAndPresentsIt)
{
    FakeHost host;
    create(host);
    int presentedBeforeFrame = -1;
    game.onFrame = [&] { presentedBeforeFrame = host.framesPresented; };
    EXPECT_EQ(host.sendMessage(wmPaint), 0);
    EXPECT_EQ(game.frames, 1);
    EXPECT_EQ(presentedBeforeFrame, 0);
    EXPECT_EQ(host.framesPresented, 1);
    // The window stays invalid: with nothing queued the next message is a paint.
    Message m;
    ASSERT_TRUE(host.takeMessage(m));
    EXPECT_EQ(m.message, wmPaint);
}

TEST_F(WindowProcTest, KeysAndMouseGoToTheGameAndNothingElseDoes)
{
    FakeHost host;
    create(host);
    game.calls.clear();
    EXPECT_EQ(host.sendMessage(wmKeyDown, 'S', 7), 0);
    EXPECT_EQ(host.sendMessage(wmLButtonUp, 1, 0), 0);
    EXPECT_EQ(host.sendMessage(wmActivate, 1), 0);
    EXPECT_EQ(host.sendMessage(0x0203 /* double click */, 1, 0), 0);
    EXPECT_EQ(host.sendMessage(wmSysKeyDown, 'W', std::int64_t{1} << 29), 0);
    // A key let go of while Alt is held comes as a system key; the game
    // still takes it as the key's release.
    EXPECT_EQ(host.sendMessage(wmSysKeyUp, 'S', std::int64_t{1} << 29), 0);
    host.sendMessage(wmSize);
    EXPECT_TRUE(host.windowExists());
    EXPECT_EQ(game.calls, (Calls{"input 256 83 7", "input 514 1 0", "active", "input 261 83 536870912",
                                 "setupRendering 1280 1024"}));
}

TEST_F(WindowProcTest, CloseRequestDestroysTheWindowAndQuits)
{
    FakeHost host;
    create(host);
    EXPECT_EQ(host.sendMessage(wmClose), 0);
    EXPECT_FALSE(host.windowExists());
    EXPECT_EQ(host.contextsReleased, 1);
    Message m;
    ASSERT_TRUE(host.takeMessage(m));
    EXPECT_EQ(m.message, wmQuit);
    // Nothing reaches a destroyed window.
    host.dispatchMessage(Message{wmPaint, 0, 0});
    EXPECT_EQ(game.frames, 0);
}

TEST_F(WindowProcTest, AltF4IsACloseRequestButF4AloneIsNot)
{
    FakeHost host;
    create(host);
    host.sendMessage(wmSysKeyDown, 0x73, 0);
    EXPECT_TRUE(host.windowExists());
    host.sendMessage(wmSysKeyDown, 0x73, std::int64_t{1} << 29);
    EXPECT_FALSE(host.windowExists());
}

TEST_F(WindowProcTest, TheWholeProgramRunsUntilClosedAndReturnsOne)
{
    FakeHost host;
    for (int i = 0; i < 5; ++i) {
        host.events.push_back([](FakeHost&) {});
    }
    host.events.push_back([](FakeHost& h) { h.postMessage(Message{wmClose, 0, 0}); });
    EXPECT_EQ(runGame(host, game), 1);
    EXPECT_FALSE(host.windowExists());
    EXPECT_GE(game.frames, 10);
    EXPECT_EQ(host.framesPresented, game.frames);
    EXPECT_EQ(game.calls[0], "created");
    EXPECT_EQ(game.calls[1], "setupRendering 1280 1024");
    EXPECT_EQ(gameController.joystickUsable, 0);  // no controller attached
}

TEST(InputMessages, TheGameTakesKeysAndMouseButNotDoubleClicksOrSystemKeys)
{
    for (std::uint32_t m : {wmKeyDown, wmKeyUp, wmMouseMove, wmLButtonDown, wmLButtonUp, wmRButtonDown,
                            wmRButtonUp, wmMButtonDown, wmMButtonUp, wmMouseWheel}) {
        EXPECT_TRUE(isInputMessage(m)) << m;
    }
    for (std::uint32_t m : {wmSysKeyDown, wmSysKeyUp, std::uint32_t{0x0203}, std::uint32_t{0x0206},
                            std::uint32_t{0x0209}, wmClose, wmPaint, wmActivate}) {
        EXPECT_FALSE(isInputMessage(m)) << m;
    }
}

}  // namespace
