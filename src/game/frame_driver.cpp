#include "game/frame_driver.h"

#include <GL/gl.h>

#include <cstdint>

#include "game/camera.h"
#include "game/controls.h"
#include "game/number_display.h"
#include "game/screens.h"
#include "audio/game_sounds.h"
#include "audio/sound.h"
#include "math/game_random.h"
#include "math/matrix4.h"
#include "math/vector4.h"
#include "physics/ship.h"
#include "world/billboard.h"
#include "world/level.h"
#include "world/particle.h"
#include "world/pickup.h"
#include "world/textures.h"
#include "world/world_draw.h"

GameState gameState = Title;
int score = 0;
int lastButton = 0;
int pickupSoundCount = 0;

void resetGameState()
{
    gameState = Title;
    score = 0;
    lastButton = 0;
    pickupSoundCount = 0;
}

namespace {

constexpr int pickupsPerLevel = 2000;
constexpr float shellRadius = 15.0f;
constexpr float collectRadiusSquared = 0.6f;
constexpr float clockStep = 0.1f;

// A random drift of up to ±0.5 × scale per frame on each axis. The three
// draws land in z, y, x: the last draw is x.
Vector4 randomDrift(float scale)
{
    const float m1 = randomUnit();
    const float m2 = randomUnit();
    const float m3 = randomUnit();
    Vector4 v{m3, m2, m1, 0.0f};
    v.subtract(Vector4{0.5f, 0.5f, 0.5f, 0.0f});
    v.scale(scale);
    return v;
}

// A random colour; as with the drift, the first draw becomes blue.
Colour randomColour()
{
    const float u1 = randomUnit();
    const float u2 = randomUnit();
    const float u3 = randomUnit();
    return Colour{u3, u2, u1, 0.0f};
}

// One exhaust spark beside (side s along row0) and behind (0.5 along row2)
// the ship, drifting at random and backing away from the ship's motion.
void emitExhaust(float side)
{
    Particle p;
    p.size = 0.2f;
    p.colour = randomColour();

    p.position = ship.body.position;
    Vector4 across = ship.body.orientation.row0();
    across.scale(side);
    p.position.add(across);
    Vector4 behind = ship.body.orientation.row2();
    behind.scale(0.5f);
    p.position.add(behind);

    p.velocity = randomDrift(0.05f);
    Vector4 backward = ship.body.velocity;
    backward.normalize();
    backward.scale(0.05f);
    p.velocity.subtract(backward);

    emitParticle(p);
}

void emitExhaustPair()
{
    emitExhaust(0.3f);
    emitExhaust(-0.3f);
}

// Forward thrust wins over reverse: the primary button or W, then the
// secondary button or S.
void applyThrust()
{
    if (primaryPressed() || keyForward > 0.0f) {
        ship.thrustInput = -1024.0f;
        updateThrustSound(true);
        emitExhaustPair();
    } else if (secondaryPressed() || keyForward < 0.0f) {
        ship.thrustInput = 1024.0f;
        updateThrustSound(true);
        emitExhaustPair();
    } else {
        ship.thrustInput = 0.0f;
        updateThrustSound(false);
    }
}

// All pickups collected: bank the time left over and set up the next level.
// The bonus is computed in float and truncated toward zero.
void completeLevelIfCleared()
{
    if (collectedCount < pickupsPerLevel) {
        return;
    }
    gameState = LevelComplete;
    if (levelNumber > 0) {
        const float total = static_cast<float>(levelTimeLimits[levelNumber]) - levelTime +
                            static_cast<float>(score);
        score = static_cast<int>(total);
    }
    setupLevel(levelNumber);
}

Vector4 onShell(Vector4 v)
{
    v.normalize();
    v.scale(shellRadius);
    return v;
}

// The pickup sound restarts on every thirtieth collection, even while it
// plays, and otherwise only once it has fallen silent, so a quick run of
// collections does not cut it off every frame. A dense cluster can start
// several chimes in one frame; with all ten buffers busy the sound takes one
// over at random. The output's limiter keeps such stacks from clipping.
void playPickupSound()
{
    if (pickupSound == nullptr) {
        return;
    }
    if (pickupSoundCount % 30 == 0 || !pickupSound->isPlaying()) {
        pickupSound->play(0, 0, -3000, 50000, 0);
    }
}

void collect(Pickup& pickup)
{
    Particle burst;
    burst.size = 0.45f;
    burst.colour = randomColour();
    burst.position = pickup.position;
    burst.velocity = randomDrift(0.15f);
    emitParticle(burst);

    // Parked at the origin, whose direction is zero: never collected again.
    pickup.position = Vector4{};
    pickup.velocity = Vector4{};
    pickupSoundCount += 1;
    playPickupSound();
    collectedCount += 1;
}

// Pickups and ship are compared by direction from the globe's centre only:
// both are projected onto the shell, so the ship's height does not matter.
void stepPickups()
{
    const Vector4 shipOnShell = onShell(ship.body.position);
    for (Pickup& pickup : pickups) {
        pickup.step();
        Vector4 d = onShell(pickup.position);
        d.subtract(shipOnShell);
        if (d.lengthSquared() < collectRadiusSquared) {
            collect(pickup);
        }
    }
}

// The time left, in seven-segment digits, with the word "time" beside it.
// The line width 10 set here stays for every later number, screens included.
void drawClock()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glLineWidth(10.0f);
    glColor4f(0.0f, 0.0f, 1.0f, 1.0f);

    const int remaining = static_cast<int>(static_cast<float>(levelTimeLimits[levelNumber]) -
                                           levelTime);
    drawNumber(remaining, Vector4{0.3f, 0.5f, 0.1f, 0.0f}, 0.05f);

    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, fontTexture);
    const Matrix4 view{};
    Vector4 anchor{0.0f, 0.5f, 0.0f, 0.0f};
    const Billboard billboard;
    billboard.drawText("time", 3, anchor, 0.1f, 0.1f, view, 0.0f, 0.0f, 1.0f);

    glDisable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, particleTexture);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
}

// Past the limit (strictly), the same level is placed again behind the
// out-of-time screen; setupLevel raises levelNumber back to where it was.
void timeOutIfExpired()
{
    if (static_cast<float>(levelTimeLimits[levelNumber]) < levelTime) {
        levelNumber -= 1;
        setupLevel(levelNumber);
        gameState = OutOfTime;
        levelTime = 0.0f;
    }
}

// Only a fresh press leaves the level-complete and out-of-time screens: a
// button still held from play has to be released first. The button is
// remembered for the next frame's test.
void leaveOnFreshPress(bool pressed)
{
    if (lastButton == 0 && pressed) {
        gameState = Playing;
    }
    lastButton = primaryButton();
}

// Draws the screen the state asks for, if any; false for a frame of play.
// The first level starts without a level-complete screen.
bool drawScreen()
{
    if (gameState == Title) {
        score = 0;
        // The title reacts to a held button as well as to a fresh press.
        if (drawTitleScreen()) {
            gameState = Playing;
        }
        return true;
    }
    if (levelNumber == 10) {
        drawFinalScreen(score);  // ignores every input
        return true;
    }
    if (gameState == LevelComplete) {
        if (levelNumber != 1) {
            leaveOnFreshPress(drawNextLevelScreen(score));
            return true;
        }
        lastButton = 1;
        gameState = Playing;
    } else if (gameState == OutOfTime) {
        leaveOnFreshPress(drawOutOfTimeScreen(score));
        return true;
    }
    return false;
}

}  // namespace

void runFrame()
{
    glPushMatrix();
    // Space held presses the button; a held steering key moves the axis on
    // every frame, screens included.
    pressEmulatedButton();
    conditionControls();

    // Screens pop the matrix pushed above themselves. On a screen the engine
    // dies away as if no thrust were asked, and then falls silent; the axis
    // is held to ±1000 after every frame.
    if (drawScreen()) {
        quietThrustSound();
        clampSteering();
        return;
    }

    drawWorld(cameraPass());
    applyThrust();
    ship.turnInput = static_cast<float>(steeringAxis());
    ship.step();
    completeLevelIfCleared();
    stepPickups();

    glPopMatrix();
    levelTime += clockStep;
    glPushMatrix();

    // Completing the last level leaves levelNumber at 10, past the table of
    // limits: that frame has no clock and cannot run out of time, and the
    // next one draws the final screen.
    if (levelNumber != 10) {
        drawClock();
        timeOutIfExpired();
    }

    glPopMatrix();
    glFlush();
    fixUpControls();
}
