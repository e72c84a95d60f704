#include "game/frame_driver.h"

#include <GL/gl.h>

#include "audio/game_sounds.h"
#include "game/camera.h"
#include "game/clock_display.h"
#include "game/comfort.h"
#include "game/controls.h"
#include "game/engine.h"
#include "game/game_flow.h"
#include "game/pickup_collection.h"
#include "input/joystick.h"
#include "world/level.h"
#include "world/world_draw.h"

namespace {

constexpr float clockStep = 0.1f;  // the level clock, per frame of play

// Play stands still: the same picture from the same camera, the sparks
// neither fading nor moving, the clock, and the word over it. Nothing of
// the game changes; the engine is silent.
void runPausedFrame(GameData& game)
{
    const Session& session = game.session;
    drawStillWorld(loadView(game.camera), game.world, session.levelTime, game.textures);
    glPopMatrix();
    glPushMatrix();
    if (session.levelNumber != gameCompleted) {
        drawClock(session, game.textures, game.display);
    }
    if (!game.comfort.quiet) {
        drawPausedWord(game.display, game.textures);
    }
    muteEngine();
    glPopMatrix();
    glFlush();
    fixUpControls(gameController);
}

// A press of P, Esc or the pad's Start pauses play (never a screen); the
// same, or Space or the pad's A, lets it go on.
void followPause(Comfort& comfort, const ComfortPresses& presses, const Session& session)
{
    if (comfort.paused) {
        comfort.paused = !(presses.pause || presses.primary);
    } else {
        comfort.paused = presses.pause && screenFor(session) == Screen::none;
    }
}

}  // namespace

void runFrame(GameData& game)
{
    Session& session = game.session;
    World& world = game.world;
    glPushMatrix();
    // Space held presses the button; the comfort keys act once per press.
    pressEmulatedButton(game.controls, gameController);
    const ComfortPresses presses = takePresses(game.comfort, game.controls, gameController);
    applySoundKeys(game.comfort, presses, gameAudio);
    followPause(game.comfort, presses, session);

    if (game.comfort.paused) {
        runPausedFrame(game);
        drawNotice(game.comfort, gameAudio, game.display, game.textures);
        return;
    }

    // A held steering key moves the axis on every frame, screens included.
    conditionControls(game.controls, gameController);

    // A screen instead of play: it pops the matrix pushed above itself. The
    // engine dies away there, and the axis is held to ±1000 after every frame.
    if (runScreen(game, gameController)) {
        quietEngine();
        clampSteering(gameController);
        drawNotice(game.comfort, gameAudio, game.display, game.textures);
        return;
    }

    // A frame of play, in its fixed order: camera and world, thrust and
    // steering, the ship's step, the level's end, the pickups, the clock.
    drawWorld(cameraPass(game.camera, world.ship), world, session.levelTime, game.textures);
    applyThrust(world, game.controls, gameController);
    world.ship.turnInput = static_cast<float>(steeringAxis(gameController));
    world.ship.step();
    completeLevelIfCleared(session, world, game.best);
    stepPickups(session, world);

    glPopMatrix();
    session.levelTime += clockStep;
    glPushMatrix();

    // Clearing the last level leaves levelNumber at gameCompleted, past the
    // table of limits: that frame has no clock and cannot run out of time,
    // and the next one draws the final screen.
    if (session.levelNumber != gameCompleted) {
        drawClock(session, game.textures, game.display);
        timeOutIfExpired(session, world);
    }

    glPopMatrix();
    glFlush();
    fixUpControls(gameController);
    drawNotice(game.comfort, gameAudio, game.display, game.textures);
}
