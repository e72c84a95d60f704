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
#include "app/rendering_setup.h"
#include "audio/game_sounds.h"
#include "data_folder.h"
#include "fake_game.h"
#include "fake_host.h"
#include "input/joystick.h"
#include "offscreen_gl.h"
#include "world/textures.h"

namespace {

using Calls = std::vector<std::string>;

class WindowProcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(chdir(dataFolder().c_str()), 0) << dataFolder();
        ASSERT_TRUE(gl.ok());
        joystickUsable = 1;
    }

    void create(FakeHost& host)
    {
        screenWidth = host.desktopWidth();
        screenHeight = host.desktopHeight();
        ASSERT_TRUE(host.createWindow(windowProc, game));
    }

    OffscreenGl gl{64, 64};
    FakeGame game;
};

std::array<GLint, 4> viewport()
{
    std::array<GLint, 4> v{};
    glGetIntegerv(GL_VIEWPORT, v.data());
    return v;
}

TEST_F(WindowProcTest, CreationStartsTheSoundThenTheGameThenTheContextAndTheRenderingSetUp)
{
    FakeHost host;
    bool musicAtCreation = false;
    int contextsAtCreation = -1;
    game.onCreated = [&] {
        musicAtCreation = musicSound != nullptr && musicSound->isPlaying();
        contextsAtCreation = host.contextsCreated;
    };
    create(host);

    // The music starts before the first picture, and before the game itself.
    EXPECT_TRUE(musicAtCreation);
    EXPECT_EQ(contextsAtCreation, 0);
    EXPECT_EQ(host.contextsCreated, 1);
    EXPECT_TRUE(host.errorTexts.empty());
    EXPECT_EQ(game.calls, (Calls{"created", "resized"}));

    for (unsigned int t : textures) {
        EXPECT_TRUE(glIsTexture(t)) << t;
    }
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, -128, 1280, 1280}));
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
    EXPECT_EQ(game.calls, (Calls{"input 256 83 7", "input 514 1 0", "input 261 83 536870912", "resized"}));
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

TEST_F(WindowProcTest, SizeChangeRebuildsTexturesWithoutLeakingTheOldOnes)
{
    FakeHost host;
    create(host);
    unsigned int before[6];
    std::copy(std::begin(textures), std::end(textures), before);
    host.sendMessage(wmSize);
    for (unsigned int t : textures) {
        EXPECT_TRUE(glIsTexture(t)) << t;
    }
    for (unsigned int old : before) {
        if (std::find(std::begin(textures), std::end(textures), old) == std::end(textures)) {
            EXPECT_FALSE(glIsTexture(old)) << old;
        }
    }
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
    EXPECT_EQ(screenWidth, 1280);
    EXPECT_EQ(screenHeight, 1024);
    EXPECT_GE(game.frames, 10);
    EXPECT_EQ(host.framesPresented, game.frames);
    EXPECT_EQ(game.calls[0], "created");
    EXPECT_EQ(game.calls[1], "resized");
    EXPECT_EQ(joystickUsable, 0);  // no controller attached
}

struct ViewportCase {
    int width;
    int height;
    std::array<GLint, 4> expected;
};

TEST_F(WindowProcTest, TheViewportIsASquareOfTheDesktopWidth)
{
    const ViewportCase cases[] = {
        {1280, 1024, {0, -128, 1280, 1280}},
        {1024, 768, {0, -128, 1024, 1024}},
        {900, 900, {0, 0, 900, 900}},
        {768, 1024, {0, -128, 768, 768}},  // portrait: still moved down
        {1920, 1081, {0, -419, 1920, 1920}},  // odd difference truncates toward zero
    };
    for (const ViewportCase& c : cases) {
        screenWidth = c.width;
        screenHeight = c.height;
        setupRendering();
        EXPECT_EQ(viewport(), c.expected) << c.width << "x" << c.height;
    }
}

TEST_F(WindowProcTest, SetupLeavesTheFirstProjectionAndTheFixedState)
{
    screenWidth = 1280;
    screenHeight = 1024;
    setupRendering();
    GLfloat p[16];
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    EXPECT_FLOAT_EQ(p[0], 1.0f);
    EXPECT_FLOAT_EQ(p[5], 1.0f);
    EXPECT_FLOAT_EQ(p[10], 2.0f / 10000.0f);
    EXPECT_FLOAT_EQ(p[14], -1.0f);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLint front = 0;
    glGetIntegerv(GL_FRONT_FACE, &front);
    EXPECT_EQ(front, GL_CW);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    GLfloat depthClear = 0.0f;
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &depthClear);
    EXPECT_EQ(depthClear, 1.0f);
    GLfloat diffuse[4];
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(diffuse[0], 0.5f);
    GLint shininess = 0;
    glGetMaterialiv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_EQ(shininess, 128);

    // Each texture holds its image: the earth and the spare ship copy have the
    // generated files' sizes, the same for both ship textures.
    GLint shipWidth = 0;
    GLint spareWidth = 0;
    glBindTexture(GL_TEXTURE_2D, shipTexture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &shipWidth);
    glBindTexture(GL_TEXTURE_2D, spareShipTexture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &spareWidth);
    EXPECT_GT(shipWidth, 0);
    EXPECT_EQ(spareWidth, shipWidth);
    GLint earthWidth = 0;
    glBindTexture(GL_TEXTURE_2D, earthTexture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &earthWidth);
    EXPECT_GT(earthWidth, 0);
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
