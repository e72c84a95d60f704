#include <GL/gl.h>

#include <cmath>
#include <memory>

#include "game/controls.h"
#include "game/frame_driver.h"
#include "app/messages.h"
#include "game/game_snapshot.h"
#include "game_fixture.h"
#include "state_report.h"
#include "input/joystick.h"
#include "math/game_random.h"
#include "physics/ship.h"
#include "world/level.h"
#include "world/particle.h"
#include "world/pickup.h"

namespace {

// Puts a resting pickup on the shell right under the ship.
void placePickupUnderShip(int index)
{
    Vector4 p = testGame().world.ship.body.position;
    p.normalize();
    p.scale(15.0f);
    testGame().world.pickups[index].position = p;
    testGame().world.pickups[index].velocity = Vector4{};
}

// The float clock after n frames of play.
float clockAfter(int n)
{
    float t = 0.0f;
    for (int i = 0; i < n; ++i) {
        t += 0.1f;
    }
    return t;
}

}  // namespace

TEST_F(GameTest, TitleScreenClearsScoreAndStartsOnPrimaryButton)
{
    game.session.score = 321;
    runFrame(game);
    EXPECT_EQ(game.session.score, 0);
    EXPECT_EQ(game.session.gameState, Title);
    EXPECT_EQ(game.session.levelNumber, 0);
    EXPECT_FLOAT_EQ(game.session.levelTime, 0.0f);

    keyDown(vkSpace);
    runFrame(game);
    EXPECT_EQ(game.session.gameState, Playing);
    EXPECT_EQ(gameController.joystickState.rgbButtons[0], 0xE8);
    EXPECT_EQ(game.session.levelNumber, 0) << "the screen frame plays nothing";
    EXPECT_EQ(game.session.lastButton, 0) << "the title screen does not record the button";
}

TEST_F(GameTest, FirstFramesOfPlaySetUpLevelOneWithoutAScreen)
{
    keyDown(vkSpace);
    runFrame(game);
    keyUp(vkSpace);

    runFrame(game);
    EXPECT_EQ(game.session.levelNumber, 1);
    EXPECT_EQ(game.session.collectedCount, 0);
    EXPECT_EQ(game.session.score, 0) << "no bonus before the first level";
    EXPECT_EQ(game.session.gameState, LevelComplete);
    EXPECT_FLOAT_EQ(game.world.ship.body.position.x, 0.0f);
    EXPECT_FLOAT_EQ(game.world.ship.body.position.y, 20.0f);
    EXPECT_FLOAT_EQ(game.world.ship.body.position.z, 0.0f);
    EXPECT_FLOAT_EQ(game.session.levelTime, 0.1f) << "the clock runs on the new level in the same frame";
    EXPECT_FLOAT_EQ(game.world.pickups[0].position.z, 15.0f);

    runFrame(game);
    EXPECT_EQ(game.session.gameState, Playing);
    EXPECT_EQ(game.session.lastButton, 1);
    EXPECT_EQ(game.session.levelNumber, 1);
    EXPECT_FLOAT_EQ(game.session.levelTime, clockAfter(2));
}

TEST_F(GameTest, ThrustDirectionFollowsButtonsThenKeys)
{
    startFirstLevel();
    struct Case {
        std::uint8_t primary, secondary;
        float forward;
        float thrust;
    };
    const Case cases[] = {
        {0x80, 0, -1000.0f, -1024.0f},  // the primary button beats S
        {0, 0x80, 1000.0f, -1024.0f},   // W beats the secondary button
        {0, 0x80, 0.0f, 1024.0f},
        {0, 0, -1000.0f, 1024.0f},
        {0x80, 0x80, 0.0f, -1024.0f},
        {0, 0, 1000.0f, -1024.0f},
        {0, 0, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        gameController.joystickState.rgbButtons[0] = c.primary;
        gameController.joystickState.rgbButtons[1] = c.secondary;
        game.controls.keyForward = c.forward;
        const int head = game.world.particleHead;
        runFrame(game);
        EXPECT_EQ(game.world.ship.thrustInput, c.thrust) << int(c.primary) << " " << int(c.secondary) << " "
                                              << c.forward;
        const int spawned = (game.world.particleHead - head + particleSlots) % particleSlots;
        EXPECT_EQ(spawned, c.thrust != 0.0f ? 2 : 0);
        // Without a usable controller the frame clears both buttons.
        EXPECT_EQ(gameController.joystickState.rgbButtons[0], 0);
        EXPECT_EQ(gameController.joystickState.rgbButtons[1], 0);
    }
}

// The exhaust pair takes six draws per spark: colour first (blue, green, red
// in draw order), then the drift (z, y, x in draw order).
TEST_F(GameTest, ExhaustPairUsesTwelveDrawsInOrder)
{
    startFirstLevel();
    game.world.ship.body.velocity = Vector4{0.0f, 0.0f, -0.2f, 0.0f};
    const Vector4 position = game.world.ship.body.position;
    const Vector4 row0 = game.world.ship.body.orientation.row0();
    const Vector4 row2 = game.world.ship.body.orientation.row2();
    const std::uint32_t before = gameRandom().randState;
    const int head = game.world.particleHead;

    keyDown('W');
    runFrame(game);

    std::uint32_t expectState = before;
    auto draw = [&expectState] {
        expectState = expectState * 214013u + 2531011u;
        return static_cast<float>((expectState >> 16) & 0x7FFF) * 3.0518509e-05f;
    };
    const float side[2] = {0.3f, -0.3f};
    for (int k = 0; k < 2; ++k) {
        const Particle& p = game.world.particles[(head + k) % particleSlots];
        const float u1 = draw(), u2 = draw(), u3 = draw();
        const float m1 = draw(), m2 = draw(), m3 = draw();
        EXPECT_FLOAT_EQ(p.size, 0.2f);
        EXPECT_FLOAT_EQ(p.colour.r, u3);
        EXPECT_FLOAT_EQ(p.colour.g, u2);
        EXPECT_FLOAT_EQ(p.colour.b, u1);
        EXPECT_NEAR(p.position.x, position.x + side[k] * row0.x + 0.5f * row2.x, 1e-5f);
        EXPECT_NEAR(p.position.y, position.y + side[k] * row0.y + 0.5f * row2.y, 1e-5f);
        EXPECT_NEAR(p.position.z, position.z + side[k] * row0.z + 0.5f * row2.z, 1e-5f);
        // The ship moved along −z, so the spark backs off along +z at 0.05.
        EXPECT_NEAR(p.velocity.x, (m3 - 0.5f) * 0.05f, 1e-6f);
        EXPECT_NEAR(p.velocity.y, (m2 - 0.5f) * 0.05f, 1e-6f);
        EXPECT_NEAR(p.velocity.z, (m1 - 0.5f) * 0.05f + 0.05f, 1e-6f);
    }
    EXPECT_EQ(gameRandom().randState, expectState) << "a thrust frame draws exactly twelve values";
}

TEST_F(GameTest, ParticleRingWrapsAtOneHundredAndDrawsNinetyNine)
{
    startFirstLevel();
    const int head = game.world.particleHead;
    ASSERT_EQ(head, 0);
    keyDown('W');
    for (int i = 0; i < 49; ++i) {
        runFrame(game);
    }
    EXPECT_EQ(game.world.particleHead, 98);
    EXPECT_EQ(game.world.particleCount, 98);
    runFrame(game);
    EXPECT_EQ(game.world.particleHead, 0);
    EXPECT_EQ(game.world.particleCount, 99);
    runFrame(game);
    EXPECT_EQ(game.world.particleHead, 2);
    EXPECT_EQ(game.world.particleCount, 99);
}

// Pickups are compared with the ship by direction only: a pickup on the
// shell below a ship five units higher is still collected.
TEST_F(GameTest, CollectionParksPickupAndSpawnsOneBurstEach)
{
    startFirstLevel();
    ASSERT_GT(game.world.ship.body.position.y, 19.0f);
    placePickupUnderShip(10);
    placePickupUnderShip(11);
    placePickupUnderShip(12);
    const Vector4 where = game.world.pickups[10].position;
    const int head = game.world.particleHead;
    const int count = game.session.collectedCount;
    const int sounds = game.session.pickupSoundCount;

    runFrame(game);

    EXPECT_EQ(game.session.collectedCount, count + 3);
    EXPECT_EQ(game.session.pickupSoundCount, sounds + 3);
    EXPECT_EQ(game.world.particleHead, head + 3);
    const Particle& burst = game.world.particles[head];
    EXPECT_FLOAT_EQ(burst.size, 0.45f);
    EXPECT_NEAR(burst.position.y, where.y, 1e-4f);
    EXPECT_LE(std::fabs(burst.velocity.x), 0.075f);
    for (int i = 10; i <= 12; ++i) {
        EXPECT_EQ(game.world.pickups[i].position.lengthSquared(), 0.0f);
        EXPECT_EQ(game.world.pickups[i].velocity.lengthSquared(), 0.0f);
    }

    // Parked at the origin, they are not collected again.
    runFrame(game);
    EXPECT_EQ(game.session.collectedCount, count + 3);
}

TEST_F(GameTest, CompletedLevelAddsTruncatedTimeLeft)
{
    startFirstLevel();

    // Level 2 has 250 units: 249.95 leaves 0.05, which truncates to 0.
    game.session.levelNumber = 2;
    game.session.levelTime = 249.95f;
    game.session.collectedCount = 2000;
    game.session.score = 17;
    runFrame(game);
    EXPECT_EQ(game.session.score, 17);
    EXPECT_EQ(game.session.levelNumber, 3);
    EXPECT_EQ(game.session.gameState, LevelComplete);
    EXPECT_FLOAT_EQ(game.session.levelTime, 0.1f);

    game.session.gameState = Playing;
    game.session.levelNumber = 1;
    game.session.levelTime = 100.0f;
    game.session.collectedCount = 2000;
    game.session.score = 0;
    runFrame(game);
    EXPECT_EQ(game.session.score, 400);
    EXPECT_EQ(game.session.levelNumber, 2);
}

// The frame that completes the last level raises levelNumber to
// gameCompleted, past the table of limits: it neither draws the clock nor
// runs out of time, even with the clock past the last limit, and the next
// frame is the final screen.
TEST_F(GameTest, CompletingTheLastLevelEndsTheGameWithoutReadingPastTheLimits)
{
    startFirstLevel();
    game.session.levelNumber = levelCount;
    game.session.levelTime = 650.0f;
    game.session.collectedCount = 2000;
    game.session.score = 7;
    glLineWidth(1.0f);  // the clock would set 10: a witness that it was skipped
    runFrame(game);
    GLfloat lineWidth = 0.0f;
    glGetFloatv(GL_LINE_WIDTH, &lineWidth);
    EXPECT_EQ(lineWidth, 1.0f) << "the clock was drawn with a limit read past the table";
    EXPECT_EQ(game.session.levelNumber, gameCompleted);
    EXPECT_EQ(game.session.gameState, LevelComplete);
    EXPECT_EQ(game.session.score, 57);
    EXPECT_FLOAT_EQ(game.session.levelTime, 0.1f);

    game.session.levelTime = 800.0f;  // would be past any limit
    runFrame(game);
    EXPECT_EQ(game.session.gameState, LevelComplete) << "the final screen, not a time-out";
    EXPECT_EQ(game.session.levelNumber, gameCompleted);
    EXPECT_FLOAT_EQ(game.session.levelTime, 800.0f) << "the final screen plays nothing";
}

// The clock is a float sum of 0.1 steps and runs slightly fast: a limit of
// 500 is passed on the 5000th frame, a limit of 700 only on the 7001st.
TEST_F(GameTest, TimeRunsOutJustPastTheLimit)
{
    startFirstLevel();
    struct Case {
        int level;
        int lastFrame;  // the frame on which the clock passes the limit
    };
    for (const Case c : {Case{1, 5000}, Case{5, 7001}}) {
        game.session.gameState = Playing;
        game.session.levelNumber = c.level;
        game.session.levelTime = clockAfter(c.lastFrame - 2);
        runFrame(game);
        EXPECT_EQ(game.session.gameState, Playing) << "frame " << c.lastFrame - 1;
        EXPECT_EQ(game.session.levelNumber, c.level);
        runFrame(game);
        EXPECT_EQ(game.session.gameState, OutOfTime) << "frame " << c.lastFrame;
        EXPECT_EQ(game.session.levelNumber, c.level) << "the same level is set up again";
        EXPECT_EQ(game.session.collectedCount, 0);
        EXPECT_FLOAT_EQ(game.session.levelTime, 0.0f);
        EXPECT_FLOAT_EQ(game.world.ship.body.position.y, 20.0f);
    }
}

TEST_F(GameTest, OutOfTimeScreenWaitsForFreshPressAndKeepsScore)
{
    startFirstLevel();
    game.session.score = 250;
    game.session.levelTime = 500.5f;
    runFrame(game);
    ASSERT_EQ(game.session.gameState, OutOfTime);
    ASSERT_EQ(game.session.lastButton, 1);

    runFrame(game);  // the first screen frame sees the button left from play as still held
    EXPECT_EQ(game.session.gameState, OutOfTime);
    EXPECT_EQ(game.session.lastButton, 0);
    EXPECT_FLOAT_EQ(game.session.levelTime, 0.0f) << "the clock stands still on screens";

    keyDown(vkSpace);
    runFrame(game);
    EXPECT_EQ(game.session.gameState, Playing);
    EXPECT_EQ(game.session.score, 250);
    EXPECT_EQ(game.session.levelNumber, 1);
}

// Space held as a level ends leaves the button set on the level-complete
// screen; only letting go and pressing again moves on.
TEST_F(GameTest, SpaceHeldThroughLevelEndNeedsReleaseAndPress)
{
    startFirstLevel();
    keyDown(vkSpace);
    game.session.collectedCount = 2000;
    runFrame(game);
    ASSERT_EQ(game.session.gameState, LevelComplete);
    ASSERT_EQ(game.session.levelNumber, 2);

    for (int i = 0; i < 3; ++i) {
        runFrame(game);
        EXPECT_EQ(game.session.gameState, LevelComplete);
    }
    EXPECT_NE(game.session.lastButton, 0);

    keyUp(vkSpace);
    runFrame(game);
    EXPECT_EQ(game.session.gameState, LevelComplete);
    EXPECT_EQ(game.session.lastButton, 0) << "releasing Space clears the emulated button";

    keyDown(vkSpace);
    runFrame(game);
    EXPECT_EQ(game.session.gameState, Playing);
}

TEST_F(GameTest, LevelTenShowsFinalScreenWhateverTheState)
{
    startFirstLevel();
    for (GameState state : {Playing, LevelComplete, OutOfTime}) {
        game.session.gameState = state;
        game.session.levelNumber = gameCompleted;
        game.session.lastButton = 0;
        game.session.levelTime = 3.0f;
        const Vector4 shipAt = game.world.ship.body.position;
        keyDown(vkSpace);
        runFrame(game);
        keyUp(vkSpace);
        runFrame(game);
        EXPECT_EQ(game.session.gameState, state);
        EXPECT_EQ(game.session.levelNumber, gameCompleted);
        EXPECT_FLOAT_EQ(game.session.levelTime, 3.0f);
        EXPECT_EQ(game.world.ship.body.position.x, shipAt.x);
        EXPECT_EQ(game.world.ship.body.position.y, shipAt.y);
    }
}

// A steering key held on a screen moves the axis by 300 a frame; it is held
// to ±1000 after every frame, screens included, so play starts from at most
// a full turn.
TEST_F(GameTest, SteeringAxisIsClampedAfterEveryFrame)
{
    gameController.joystickState.lX = 5000;
    runFrame(game);  // title
    EXPECT_EQ(gameController.joystickState.lX, 1000) << "conditioned to 4800, then clamped";
    keyDown('A');
    for (int i = 0; i < 120; ++i) {
        runFrame(game);
    }
    EXPECT_EQ(gameController.joystickState.lX, -1000) << "two seconds of A on the title screen";
    keyUp('A');

    startFirstLevel();
    gameController.joystickState.lX = 5000;
    runFrame(game);
    EXPECT_EQ(game.world.ship.turnInput, 4800.0f) << "play steers with the unclamped value";
    EXPECT_EQ(gameController.joystickState.lX, 1000);

    keyDown('D');
    game.session.levelTime = 600.0f;
    runFrame(game);  // out of time
    ASSERT_EQ(game.session.gameState, OutOfTime);
    for (int i = 0; i < 60; ++i) {
        runFrame(game);
        ASSERT_LE(gameController.joystickState.lX, 1000) << "screen frame " << i;
    }
    EXPECT_EQ(gameController.joystickState.lX, 1000);
}

TEST_F(GameTest, FramesLeaveTheMatrixStacksBalanced)
{
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    ASSERT_EQ(depth, 1);
    runFrame(game);  // title
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    startFirstLevel();
    runFrame(game);  // play
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    game.session.levelTime = 600.0f;
    runFrame(game);  // out of time
    runFrame(game);  // its screen
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The snapshot is the one list of the game's state: a stretch of play
// restored from one and flown again with the same keys gives the same game,
// the random sequence, the sparks and every pickup included. A field left out
// of the list would make the second flight differ.
TEST_F(GameTest, AStretchOfPlayRestoredFromASnapshotPlaysTheSameAgain)
{
    startFirstLevel();
    keyDown('W');
    for (int i = 0; i < 40; ++i) {
        runFrame(game);
    }
    const auto start = std::make_unique<GameSnapshot>();
    start->capture(game);
    auto fly = [this] {
        keyDown('A');
        for (int i = 0; i < 60; ++i) {
            if (i % 10 == 0) {
                placePickupUnderShip(100 + i);  // a collection, a burst and maybe a chime
            }
            runFrame(game);
        }
        keyUp('A');
        keyUp('W');
        for (int i = 0; i < 30; ++i) {
            runFrame(game);
        }
        auto end = std::make_unique<GameSnapshot>();
        end->capture(game);
        return end;
    };
    const auto first = fly();
    ASSERT_GT(first->data.session.collectedCount, start->data.session.collectedCount) << "nothing collected";
    start->restore(game);
    const auto second = fly();
    EXPECT_EQ(gameStateJson(0, *second), gameStateJson(0, *first));
    for (int i = 0; i < pickupCount; ++i) {
        const Vector4& a = first->data.world.pickups[i].position;
        const Vector4& b = second->data.world.pickups[i].position;
        ASSERT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z) << "pickup " << i;
    }
    for (int i = 0; i < particleSlots; ++i) {
        const Particle& a = first->data.world.particles[i];
        const Particle& b = second->data.world.particles[i];
        ASSERT_TRUE(a.position.x == b.position.x && a.colour.r == b.colour.r && a.colour.b == b.colour.b)
            << "spark " << i;
    }
}

// The pad's Start pauses play and again lets it go on; Space does too.
// Screens are never paused, and a pause key pressed on one is forgotten.
TEST_F(GameTest, PadStartAndSpaceTogglePauseOnlyInPlay)
{
    gameController.joystickUsable = 1;
    for (int screen = 0; screen < 2; ++screen) {
        gameController.joystickState.rgbButtons[startButton] = 0x80;
        runFrame(game);
        EXPECT_FALSE(game.comfort.paused) << "the title is not paused";
        gameController.joystickState.rgbButtons[startButton] = 0;
        runFrame(game);
    }
    startFirstLevel();
    const float clock = game.session.levelTime;
    gameController.joystickState.rgbButtons[startButton] = 0x80;
    runFrame(game);
    ASSERT_TRUE(game.comfort.paused);
    runFrame(game);  // held: still paused
    gameController.joystickState.rgbButtons[startButton] = 0;
    runFrame(game);
    EXPECT_TRUE(game.comfort.paused);
    EXPECT_EQ(game.session.levelTime, clock);
    gameController.joystickState.rgbButtons[startButton] = 0x80;
    runFrame(game);
    EXPECT_FALSE(game.comfort.paused);
    gameController.joystickState.rgbButtons[startButton] = 0;

    keyDown('P');
    keyUp('P');  // let go of before the frame: the press still counts
    runFrame(game);
    ASSERT_TRUE(game.comfort.paused);
    keyDown(vkSpace);
    runFrame(game);
    EXPECT_FALSE(game.comfort.paused);
    EXPECT_GT(game.session.levelTime, clock);
}
