// The game as the shell sees it: what creation puts back, and that input and
// frames reach the controls and the frame driver.
#include "game/glimmerfall_game.h"

#include <gtest/gtest.h>

#include "app/messages.h"
#include "game/camera.h"
#include "game/controls.h"
#include "game/frame_driver.h"
#include "game_fixture.h"
#include "world/level.h"

namespace {

TEST_F(GameTest, CreationPutsControlsClockAndCameraBackAndInputAndFramesDriveTheGame)
{
    keyForward = 1000.0f;
    keyTurn = -500.0f;
    keyButton = 1000.0f;
    leftButtonDown = 1;
    levelTime = 42.0f;
    cameraMatrix.m[0] = 5.0f;
    cameraPosition = Vector4{1.0f, 2.0f, 3.0f, 7.0f};

    GlimmerfallGame game;
    game.created();
    EXPECT_EQ(keyForward, 0.0f);
    EXPECT_EQ(keyTurn, 0.0f);
    EXPECT_EQ(keyButton, 0.0f);
    EXPECT_EQ(leftButtonDown, 0);
    EXPECT_EQ(levelTime, 0.0f);
    EXPECT_EQ(cameraMatrix.m[0], 1.0f);
    EXPECT_EQ(cameraPosition.x + cameraPosition.y + cameraPosition.z, 0.0f);
    EXPECT_EQ(cameraPosition.w, 7.0f);  // w is the caller's

    game.input(wmKeyDown, vkSpace, 0);
    EXPECT_EQ(keyButton, 1000.0f);
    game.frame();  // the title takes the press
    EXPECT_EQ(gameState, Playing);
}

}  // namespace
