// The game as the shell sees it: what creation puts back, and that input and
// frames reach the controls and the frame driver.
#include "game/glimmerfall_game.h"

#include <gtest/gtest.h>

#include "app/messages.h"
#include "game_fixture.h"
#include "world/level.h"

namespace {

TEST_F(GameTest, CreationPutsControlsClockAndCameraBackAndInputAndFramesDriveTheGame)
{
    game.controls.keyForward = 1000.0f;
    game.controls.keyTurn = -500.0f;
    game.controls.keyButton = 1000.0f;
    game.controls.leftButtonDown = 1;
    game.session.levelTime = 42.0f;
    game.camera.cameraMatrix.m[0] = 5.0f;
    game.camera.cameraPosition = Vector4{1.0f, 2.0f, 3.0f, 7.0f};

    GlimmerfallGame glimmerfall(game);
    glimmerfall.created();
    EXPECT_EQ(game.controls.keyForward, 0.0f);
    EXPECT_EQ(game.controls.keyTurn, 0.0f);
    EXPECT_EQ(game.controls.keyButton, 0.0f);
    EXPECT_EQ(game.controls.leftButtonDown, 0);
    EXPECT_EQ(game.session.levelTime, 0.0f);
    EXPECT_EQ(game.camera.cameraMatrix.m[0], 1.0f);
    const Vector4& p = game.camera.cameraPosition;
    EXPECT_EQ(p.x + p.y + p.z, 0.0f);
    EXPECT_EQ(p.w, 7.0f);  // w is the caller's

    glimmerfall.input(wmKeyDown, vkSpace, 0);
    EXPECT_EQ(game.controls.keyButton, 1000.0f);
    glimmerfall.frame();  // the title takes the press
    EXPECT_EQ(game.session.gameState, Playing);
}

}  // namespace
