#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "app/messages.h"
#include "audio/game_sounds.h"
#include "game/clock_display.h"
#include "game/comfort.h"
#include "game/frame_driver.h"
#include "game/rendering_setup.h"
#include "game_fixture.h"
#include "input/joystick.h"
#include "world/level.h"

namespace {

// Normalised device coordinates to the 64-pixel window.
float win(float ndc) { return (ndc + 1.0f) * 32.0f; }

struct ScreenShot {
    std::vector<FeedbackLine> lines;
    std::vector<FeedbackPolygon> polygons;
};

ScreenShot recordFrame()
{
    FeedbackRecorder recorder;
    recorder.begin();
    runFrame(testGame());
    const int size = recorder.end();
    ScreenShot shot;
    EXPECT_GT(size, 0);
    parseFeedback(recorder.buffer(), size, shot.lines, shot.polygons);
    return shot;
}

// Glyph triangles whose centre lies in the row around y (window units).
std::vector<FeedbackPolygon> row(const ScreenShot& s, float y)
{
    std::vector<FeedbackPolygon> out;
    for (const FeedbackPolygon& p : s.polygons) {
        if (std::abs((p.minY + p.maxY) / 2.0f - y) < 2.0f) {
            out.push_back(p);
        }
    }
    return out;
}

void expectSpan(const std::vector<FeedbackPolygon>& row, float left, float right)
{
    ASSERT_FALSE(row.empty());
    float minX = row[0].minX, maxX = row[0].maxX;
    for (const FeedbackPolygon& p : row) {
        minX = std::min(minX, p.minX);
        maxX = std::max(maxX, p.maxX);
        EXPECT_FLOAT_EQ(p.b, 1.0f);
        EXPECT_FLOAT_EQ(p.r + p.g, 0.0f);
    }
    EXPECT_NEAR(minX, win(left), 0.01f);
    EXPECT_NEAR(maxX, win(right), 0.01f);
}

}  // namespace

// Each letter is a two-triangle quad; the text ends with one empty slot, so
// its last letter is centred two steps of 1.1 h left of the anchor.
TEST_F(GameTest, TitleScreenLaysOutItsTwoLines)
{
    const ScreenShot s = recordFrame();
    EXPECT_TRUE(s.lines.empty());
    EXPECT_EQ(s.polygons.size(), 2u * (11 + 9));
    const auto top = row(s, win(0.5f));
    EXPECT_EQ(top.size(), 22u);
    expectSpan(top, 0.7f - 12 * 0.077f - 0.07f, 0.7f - 2 * 0.077f + 0.07f);
    const auto below = row(s, win(0.0f));
    EXPECT_EQ(below.size(), 18u);
    expectSpan(below, 0.625f - 11 * 0.077f - 0.07f, 0.625f - 2 * 0.077f + 0.07f);
    EXPECT_EQ(game.session.gameState, Title);
}

TEST_F(GameTest, LevelCompleteScreenShowsLevelAndScore)
{
    game.session.gameState = LevelComplete;
    game.session.levelNumber = 3;
    game.session.score = 1234;
    game.session.lastButton = 1;
    const ScreenShot s = recordFrame();
    EXPECT_EQ(s.polygons.size(), 2u * (9 + 5));
    expectSpan(row(s, win(-0.25f)), 0.4f - 6 * 0.11f - 0.1f, 0.4f - 2 * 0.11f + 0.1f);

    // 3 has five segments; 1234 has 2 + 5 + 5 + 4.
    ASSERT_EQ(s.lines.size(), 21u);
    int levelLines = 0;
    float scoreMin = 1e9f, scoreMax = -1e9f;
    for (const FeedbackLine& l : s.lines) {
        EXPECT_FLOAT_EQ(l.a, 1.0f);
        EXPECT_FLOAT_EQ(l.b, 1.0f);
        if (std::abs(l.y0 - win(0.25f)) <= win(0.05f) - win(0.0f) + 0.01f) {
            ++levelLines;
            EXPECT_NEAR(std::min(l.x0, l.x1), win(-0.1f), 0.01f + (win(0.05f) - win(0.0f)));
        } else {
            EXPECT_NEAR(l.y0, win(-0.5f), 1.61f);
            scoreMin = std::min({scoreMin, l.x0, l.x1});
            scoreMax = std::max({scoreMax, l.x0, l.x1});
        }
    }
    EXPECT_EQ(levelLines, 5);
    // The score's digits sit centred on x = −0.075: '1' at −0.1875 (right
    // segments only) through '4' at 0.0375.
    EXPECT_NEAR(scoreMin, win(-0.1625f), 0.01f);
    EXPECT_NEAR(scoreMax, win(0.0625f), 0.01f);
}

TEST_F(GameTest, OutOfTimeScreenNumbersTakeTheLetterColour)
{
    game.session.gameState = OutOfTime;
    game.session.levelNumber = 4;
    game.session.score = 0;
    ScreenShot s = recordFrame();
    EXPECT_EQ(s.polygons.size(), 2u * (9 + 5));
    EXPECT_TRUE(s.lines.empty()) << "a score of 0 draws no digits";

    game.session.score = 57;
    s = recordFrame();
    ASSERT_EQ(s.lines.size(), 5u + 3u);
    for (const FeedbackLine& l : s.lines) {
        EXPECT_NEAR(l.a, 0.9f, 1e-3f);
        EXPECT_FLOAT_EQ(l.b, 1.0f);
    }
    expectSpan(row(s, win(0.0f)), 0.4f - 6 * 0.11f - 0.1f, 0.4f - 2 * 0.11f + 0.1f);
}

TEST_F(GameTest, FinalScreenShowsEverythingAndIgnoresInput)
{
    game.session.gameState = Playing;
    game.session.levelNumber = gameCompleted;
    game.session.score = 2;
    gameController.joystickUsable = 1;
    gameController.joystickState.rgbButtons[0] = 0x80;
    gameController.joystickState.rgbButtons[1] = 0x80;
    const ScreenShot s = recordFrame();
    // The three lines and the score, then "new best" and the best score: the
    // first finished game is the best one.
    EXPECT_TRUE(game.best.newGameBest);
    EXPECT_EQ(s.polygons.size(), 2u * (15 + 21 + 5 + 7));
    EXPECT_EQ(s.lines.size(), 5u + 5u);
    expectSpan(row(s, win(0.5f)), 0.5f - 16 * 0.055f - 0.05f, 0.5f - 2 * 0.055f + 0.05f);
    EXPECT_EQ(game.session.gameState, Playing);
    EXPECT_EQ(game.session.lastButton, 0);
}

// With a controller the button bytes are the pad's; the level-complete and
// out-of-time screens move on only on a press that follows a release.
TEST_F(GameTest, ScreensRecordThePadButtonForFreshPresses)
{
    gameController.joystickUsable = 1;
    game.session.levelNumber = 5;
    for (GameState screen : {LevelComplete, OutOfTime}) {
        game.session.gameState = screen;
        game.session.lastButton = 0x80;
        gameController.joystickState.rgbButtons[0] = 0x80;
        runFrame(game);
        EXPECT_EQ(game.session.gameState, screen);
        EXPECT_EQ(game.session.lastButton, 0x80);
        gameController.joystickState.rgbButtons[0] = 0;
        runFrame(game);
        EXPECT_EQ(game.session.lastButton, 0);
        EXPECT_EQ(game.session.gameState, screen);
        gameController.joystickState.rgbButtons[0] = 0x80;
        runFrame(game);
        EXPECT_EQ(game.session.gameState, Playing);
        EXPECT_EQ(game.session.lastButton, 0x80);
        EXPECT_EQ(gameController.joystickState.rgbButtons[0], 0x80) << "screens do not clear the buttons";
    }
}

// On a window wider than 5:4 the square viewport (as wide as the window)
// reaches past its top and bottom; the screens, the clock, the pause and the
// volume notice are drawn smaller about the centre, so that every letter,
// digit and mark lies inside the window, none on its top or bottom row. At
// 5:4 and narrower nothing is scaled.
TEST_F(GameTest, OnWideWindowsEveryTextShowsWhole)
{
    for (const auto& [width, height] : {std::pair{1920, 1080}, std::pair{2560, 1080}}) {
        game.display = Display{overlayScale(width, height)};
        const SquareViewport v = squareViewport(width, height);
        glViewport(v.x, v.y, v.width, v.height);
        auto expectInside = [&](const ScreenShot& s, const char* what) {
            EXPECT_FALSE(s.polygons.empty()) << what;
            for (const FeedbackPolygon& p : s.polygons) {
                EXPECT_TRUE(p.minY >= 1.0f && p.maxY <= height - 1.0f && p.minX >= 0.0f && p.maxX <= width)
                    << what << " at " << width << "x" << height << ": y " << p.minY << ".." << p.maxY;
            }
            for (const FeedbackLine& l : s.lines) {
                EXPECT_TRUE(std::min(l.y0, l.y1) >= 1.0f && std::max(l.y0, l.y1) <= height - 1.0f)
                    << what << " at " << width << "x" << height;
            }
        };
        struct Screen {
            GameState state;
            int level;
            const char* name;
        };
        for (const Screen& screen : {Screen{Title, 0, "title"}, Screen{LevelComplete, 3, "level complete"},
                                     Screen{OutOfTime, 4, "out of time"}, Screen{Playing, gameCompleted, "final"}}) {
            game.session.gameState = screen.state;
            game.session.levelNumber = screen.level;
            game.session.score = 1234;
            game.session.lastButton = 1;
            expectInside(recordFrame(), screen.name);
        }

        game.session.levelNumber = 1;
        game.session.levelTime = 0.0f;
        FeedbackRecorder recorder;
        recorder.begin();
        drawClock(game.session, game.textures, game.display);
        drawPausedWord(game.display, game.textures);
        game.comfort.notice = Comfort::Notice::volume;
        game.comfort.noticeFrames = 1;
        drawNotice(game.comfort, gameAudio, game.display, game.textures);
        const int size = recorder.end();
        ASSERT_GT(size, 0);
        ScreenShot s;
        parseFeedback(recorder.buffer(), size, s.lines, s.polygons);
        EXPECT_EQ(s.lines.size(), 17u) << "the clock's 500";
        expectInside(s, "the clock, the pause and the volume");
    }
    EXPECT_EQ(overlayScale(1280, 1024), 1.0f);
    EXPECT_EQ(overlayScale(800, 640), 1.0f);
    EXPECT_FLOAT_EQ(overlayScale(1024, 768), 0.9375f);  // 4:3 is wider than 5:4
    EXPECT_FLOAT_EQ(overlayScale(1920, 1080), 0.703125f);
}
