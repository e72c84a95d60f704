#include "game/frame_driver.h"

#include <GL/gl.h>

#include "game/camera.h"
#include "game/clock_display.h"
#include "game/controls.h"
#include "game/engine.h"
#include "game/game_flow.h"
#include "game/pickup_collection.h"
#include "input/joystick.h"
#include "world/level.h"
#include "world/world_draw.h"

namespace {

constexpr float clockStep = 0.1f;  // the level clock, per frame of play

}  // namespace

void runFrame(GameData& game)
{
    Session& session = game.session;
    World& world = game.world;
    glPushMatrix();
    // Space held presses the button; a held steering key moves the axis on
    // every frame, screens included.
    pressEmulatedButton(game.controls, gameController);
    conditionControls(game.controls, gameController);

    // A screen instead of play: it pops the matrix pushed above itself. The
    // engine dies away there, and the axis is held to ±1000 after every frame.
    if (runScreen(game, gameController)) {
        quietEngine();
        clampSteering(gameController);
        return;
    }

    // A frame of play, in its fixed order: camera and world, thrust and
    // steering, the ship's step, the level's end, the pickups, the clock.
    drawWorld(cameraPass(game.camera, world.ship), world, session.levelTime, game.textures);
    applyThrust(world, game.controls, gameController);
    world.ship.turnInput = static_cast<float>(steeringAxis(gameController));
    world.ship.step();
    completeLevelIfCleared(session, world);
    stepPickups(session, world);

    glPopMatrix();
    session.levelTime += clockStep;
    glPushMatrix();

    // Clearing the last level leaves levelNumber at gameCompleted, past the
    // table of limits: that frame has no clock and cannot run out of time,
    // and the next one draws the final screen.
    if (session.levelNumber != gameCompleted) {
        drawClock(session, game.textures);
        timeOutIfExpired(session, world);
    }

    glPopMatrix();
    glFlush();
    fixUpControls(gameController);
}
