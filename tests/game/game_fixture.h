#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "game/game_data.h"
#include "offscreen_gl.h"

// The game's state the tests play on, in fixed storage as a host keeps it.
GameData& testGame();

// Puts the whole game's state (game/game_snapshot.h) back to its start
// values, with no controller usable (the keyboard alone drives the buttons)
// and the digit masks filled as the start-up fills them.
void resetWholeGame();

// Key presses as the window would deliver them.
void keyDown(std::uint32_t key);
void keyUp(std::uint32_t key);

// From a fresh game: starts it with Space, lets go, and runs the frames that
// set up the first level, leaving a game in play on level 1.
void startFirstLevel();

// One line of feedback-mode output: its two vertices in window coordinates
// and the colour of the first.
struct FeedbackLine {
    float x0, y0, x1, y1;
    float r, g, b, a;
};

// One polygon: the bounds of its vertices and the colour of its first.
struct FeedbackPolygon {
    float minX, maxX, minY, maxY;
    float r, g, b, a;
};

void parseFeedback(const std::vector<float>& buffer, int size, std::vector<FeedbackLine>& lines,
                   std::vector<FeedbackPolygon>& polygons);

// A fresh game in a small offscreen context.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gl.ok());
        resetWholeGame();
    }

    OffscreenGl gl{64, 64};
    GameData& game = testGame();
};
