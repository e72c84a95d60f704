// Frames of scripted play drawn with the batched sprite path and with the
// one-by-one path must be the same to the last pixel, at several desktop
// shapes, on the first frame of play and in the middle of a level.
#include <GL/gl.h>
#include <GL/osmesa.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "game/frame_driver.h"
#include "game/glimmerfall_game.h"
#include "app/program.h"
#include "data_folder.h"
#include "game/game_snapshot.h"
#include "script_command.h"
#include "script_host.h"
#include "world/world_draw.h"

namespace {

GameData data;
GlimmerfallGame game(data);  // outlives the host that plays it
std::unique_ptr<ScriptHost> player;
std::unique_ptr<GameSnapshot> midLevel;

class SpritePaths : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(chdir(dataFolder().c_str()), 0) << dataFolder();
        setenv("ALSOFT_DRIVERS", "null", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);

        // Start the game and let the autopilot play into the first level.
        ScriptParseResult script = parseScript("autopilot 300\n");
        ASSERT_TRUE(script.ok());
        player = std::make_unique<ScriptHost>(data, 160, 128, std::move(script.commands), stdout);
        runGame(*player, game);
        ASSERT_NE(OSMesaGetCurrentContext(), nullptr);
        ASSERT_EQ(data.session.gameState, Playing);
        ASSERT_EQ(data.session.levelNumber, 1);
        ASSERT_GT(data.session.collectedCount, 0);  // some pickups already wait at the origin
        midLevel = std::make_unique<GameSnapshot>();
        midLevel->capture(data);
    }

    static void TearDownTestSuite()
    {
        spritePath = SpritePath::Batched;
        midLevel.reset();
        player.reset();
    }

    // A new buffer and desktop of the given size, as a size change gives.
    void useDesktop(int width, int height)
    {
        buffer_.assign(static_cast<std::size_t>(width) * height * 4, 0);
        ASSERT_TRUE(OSMesaMakeCurrent(OSMesaGetCurrentContext(), buffer_.data(), GL_UNSIGNED_BYTE, width, height));
        width_ = width;
        height_ = height;
        game.setupRendering(width, height);
    }

    struct Frame {
        std::vector<unsigned char> pixels;
        int sent = 0;
        int culled = 0;
        int hidden = 0;
    };

    // frames frames from the snapshot with the given path; firstDraw makes
    // the first of them the world's first draw.
    std::vector<Frame> play(SpritePath path, int frames, bool firstDraw)
    {
        spritePath = path;
        midLevel->restore(data);
        worldFirstDraw = firstDraw ? 1 : 0;
        std::vector<Frame> out;
        for (int k = 0; k < frames; ++k) {
            runFrame(data);
            glFinish();
            Frame f;
            f.pixels.resize(buffer_.size());
            glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, f.pixels.data());
            f.sent = worldSpritesSent;
            f.culled = worldSpritesCulled;
            f.hidden = worldSpritesHidden;
            out.push_back(std::move(f));
        }
        spritePath = SpritePath::Batched;
        return out;
    }

    void expectSamePixels(int frames, bool firstDraw)
    {
        const std::vector<Frame> oneByOne = play(SpritePath::OneByOne, frames, firstDraw);
        const std::vector<Frame> batched = play(SpritePath::Batched, frames, firstDraw);
        int culledFrames = 0;
        int hiddenFrames = 0;
        for (int k = 0; k < frames; ++k) {
            const Frame& a = oneByOne[k];
            const Frame& b = batched[k];
            EXPECT_EQ(a.sent + a.culled, 0);
            EXPECT_GT(b.sent, 100) << "frame " << k;
            culledFrames += b.culled > 0 ? 1 : 0;
            hiddenFrames += b.hidden > 0 ? 1 : 0;

            long lit = 0;
            long differing = 0;
            for (std::size_t i = 0; i < a.pixels.size(); i += 4) {
                lit += a.pixels[i] + a.pixels[i + 1] + a.pixels[i + 2] > 0 ? 1 : 0;
                differing += a.pixels[i] != b.pixels[i] || a.pixels[i + 1] != b.pixels[i + 1] ||
                                     a.pixels[i + 2] != b.pixels[i + 2] || a.pixels[i + 3] != b.pixels[i + 3]
                                 ? 1
                                 : 0;
            }
            EXPECT_GT(lit, static_cast<long>(a.pixels.size() / 4 / 20)) << "frame " << k << " is nearly black";
            EXPECT_EQ(differing, 0) << "frame " << k << " at " << width_ << "x" << height_;
        }
        EXPECT_EQ(culledFrames, frames);  // the batched path really left sprites out
        // and among them sprites behind the globe, except on a first draw,
        // which draws no globe
        EXPECT_EQ(hiddenFrames, firstDraw ? frames - 1 : frames);
    }

    std::vector<unsigned char> buffer_;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace

TEST_F(SpritePaths, SamePixelsMidLevelOnAWideDesktop)
{
    useDesktop(320, 256);  // the viewport is 320 square, reaching past top and bottom
    expectSamePixels(12, false);
}

TEST_F(SpritePaths, SamePixelsOnTheFirstDrawAndOnASixteenByNineDesktop)
{
    useDesktop(384, 216);
    expectSamePixels(4, true);  // no globe: the pickups at the origin show
    expectSamePixels(6, false);
}

TEST_F(SpritePaths, SamePixelsWhenTheViewportLeavesPartOfTheBufferUncovered)
{
    // Taller than wide: the square viewport covers only the lower part.
    useDesktop(200, 300);
    expectSamePixels(6, false);
}
