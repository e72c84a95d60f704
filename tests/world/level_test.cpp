#include <gtest/gtest.h>

#include "world/session.h"
#include "world/world.h"

#include <cmath>
#include <cstdint>

#include "math/game_random.h"
#include "physics/ship.h"
#include "world/level.h"
#include "world/pickup.h"

namespace {

// The game's progress and world in play, as the game holds them.
Session session;
World world;

// An independent replay of the generator, for checking draw order.
struct Lcg {
    std::uint32_t state;
    int next()
    {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
    float unit() { return static_cast<float>(next()) / 32767.0f; }
};

constexpr float tolerance = 1e-4f;

void expectNear(const Vector4& v, double x, double y, double z, const char* what, int i)
{
    EXPECT_NEAR(v.x, x, tolerance) << what << " x of pickup " << i;
    EXPECT_NEAR(v.y, y, tolerance) << what << " y of pickup " << i;
    EXPECT_NEAR(v.z, z, tolerance) << what << " z of pickup " << i;
    EXPECT_EQ(v.w, 0.0f) << what << " w of pickup " << i;
}

void resetPickups(Vector4 velocity = {})
{
    for (Pickup& p : world.pickups) {
        p = Pickup{};
        p.velocity = velocity;
    }
}

}  // namespace

TEST(SetupLevel, EveryPatternStartsAtTheFrontOfTheShell)
{
    for (int pattern = 0; pattern <= 8; ++pattern) {
        resetPickups();
        setupLevel(pattern, session, world);
        expectNear(world.pickups[0].position, 0, 0, 15, "position", 0);
    }
    resetPickups();
    setupLevel(6, session, world);
    expectNear(world.pickups[0].velocity, 0, 0.05, 0, "velocity", 0);
}

TEST(SetupLevel, PatternsFollowTheirFormulas)
{
    const int samples[] = {1, 7, 63, 499, 500, 999, 1000, 1499, 1500, 1999};
    for (int pattern = 0; pattern <= 8; ++pattern) {
        // A marker velocity shows which patterns leave the velocity alone.
        resetPickups(Vector4{7.0f, 8.0f, 9.0f, 0.0f});
        setupLevel(pattern, session, world);
        for (int i : samples) {
            SCOPED_TRACE(testing::Message() << "pattern " << pattern << ", pickup " << i);
            const Pickup& p = world.pickups[i];
            const double a = static_cast<float>(i) * 0.1f;
            const double a3 = static_cast<float>(i) * 0.03f;
            const double b = static_cast<float>(i) * 0.01f;
            const double sa = std::sin(a), ca = std::cos(a);
            switch (pattern) {
                case 0:
                    expectNear(p.position, 15 * sa, 0, 15 * ca, "position", i);
                    expectNear(p.velocity, 7, 8, 9, "velocity", i);
                    break;
                case 1:
                    expectNear(p.position, 15 * sa, 15 * sa * ca, 15 * ca * ca, "position", i);
                    expectNear(p.velocity, 7, 8, 9, "velocity", i);
                    break;
                case 2:
                    expectNear(p.position, 15 * sa, 0, 15 * ca, "position", i);
                    expectNear(p.velocity, 0, -0.1, 0, "velocity", i);
                    break;
                case 3:
                    expectNear(p.position, 15 * sa, 15 * ca * std::sin(b), 15 * ca * std::cos(b),
                               "position", i);
                    expectNear(p.velocity, 0, 0, 0.1, "velocity", i);
                    break;
                case 4:
                    expectNear(p.position, 15 * sa * std::cos(b), 15 * std::sin(b),
                               15 * ca * std::cos(b), "position", i);
                    expectNear(p.velocity, 7, 8, 9, "velocity", i);
                    break;
                case 5:
                    if (i < 1000) {
                        expectNear(p.position, 15 * sa, 0, 15 * ca, "position", i);
                        expectNear(p.velocity, 0.1 * ca, 0, -0.1 * sa, "velocity", i);
                    } else {
                        expectNear(p.position, 0, 15 * sa, 15 * ca, "position", i);
                        expectNear(p.velocity, 0, 0.1 * ca, -0.1 * sa, "velocity", i);
                    }
                    break;
                case 6:
                    expectNear(p.position, 15 * std::sin(a3), 0, 15 * std::cos(a3), "position", i);
                    expectNear(p.velocity, 0, 0.05, 0.15 * std::sin(a3), "velocity", i);
                    break;
                case 7:
                    expectNear(p.position, 0, 15 * std::sin(a3), 15 * std::cos(a3), "position", i);
                    expectNear(p.velocity, 0.02, 0.05, 0, "velocity", i);
                    break;
                case 8: {
                    const bool aroundY = i < 500 || (i >= 1000 && i < 1500);
                    if (aroundY) {
                        expectNear(p.position, 15 * sa, 0, 15 * ca, "position", i);
                    } else {
                        expectNear(p.position, 0, 15 * sa, 15 * ca, "position", i);
                    }
                    const double vx = i < 500 ? 0 : i < 1000 ? 0.05 : i < 1500 ? 0 : -0.05;
                    const double vy = i < 500 ? 0.05 : i < 1000 ? 0 : i < 1500 ? -0.05 : 0;
                    expectNear(p.velocity, vx, vy, 0.05, "velocity", i);
                    break;
                }
                default:
                    break;
            }
        }
    }
}

TEST(SetupLevel, ColoursTakeGreenRedBlueFromTheGenerator)
{
    resetPickups();
    gameRandom().randState = 12345;
    Lcg replay{12345};
    setupLevel(3, session, world);
    for (int i = 0; i < pickupCount; ++i) {
        const float g = replay.unit();
        const float r = replay.unit();
        const float b = replay.unit();
        if (i == 0 || i == 1 || i == pickupCount - 1) {
            EXPECT_FLOAT_EQ(world.pickups[i].colour.g, g) << i;
            EXPECT_FLOAT_EQ(world.pickups[i].colour.r, r) << i;
            EXPECT_FLOAT_EQ(world.pickups[i].colour.b, b) << i;
            EXPECT_EQ(world.pickups[i].colour.a, 0.0f) << i;
        }
    }
    EXPECT_EQ(gameRandom().randState, replay.state);  // exactly 6000 draws
}

TEST(SetupLevel, ResetsShipClockAndCounters)
{
    resetPickups();
    setupLevel(2, session, world);  // something to keep
    const Vector4 kept = world.pickups[17].position;

    for (int pattern : {levelCount, levelCount + 1, -1}) {
        SCOPED_TRACE(pattern);
        world.ship.body.position = Vector4{1.0f, 2.0f, 3.0f, 4.0f};
        world.ship.body.velocity = Vector4{0.5f, 0.25f, 0.125f, 0.0f};
        world.ship.body.orientation.setRotationZ(0.3f);
        session.levelTime = 123.4f;
        session.levelNumber = levelCount;
        session.collectedCount = 1500;
        const std::uint32_t before = gameRandom().randState;

        setupLevel(pattern, session, world);

        EXPECT_EQ(world.ship.body.position.x, 0.0f);
        EXPECT_EQ(world.ship.body.position.y, 20.0f);
        EXPECT_EQ(world.ship.body.position.z, 0.0f);
        EXPECT_EQ(world.ship.body.position.w, 0.0f);
        const Matrix4 identity;
        for (int k = 0; k < 16; ++k) {
            EXPECT_EQ(world.ship.body.orientation.m[k], identity.m[k]) << k;
        }
        EXPECT_EQ(world.ship.body.velocity.x, 0.5f);  // velocities carry over
        EXPECT_EQ(world.ship.body.velocity.z, 0.125f);
        EXPECT_EQ(session.levelTime, 0.0f);
        EXPECT_EQ(session.levelNumber, gameCompleted);
        EXPECT_EQ(session.collectedCount, 0);
        EXPECT_EQ(gameRandom().randState, before);  // no colours drawn
        EXPECT_EQ(world.pickups[17].position.x, kept.x);
        EXPECT_EQ(world.pickups[17].position.z, kept.z);
    }
}

TEST(LevelTable, LimitsPerLevelNumber)
{
    const int expected[] = {500, 250, 250, 600, 700, 200, 950, 150, 700};
    for (int n = 1; n <= 9; ++n) {
        EXPECT_EQ(levelTimeLimits[n], expected[n - 1]) << n;
    }
}

TEST(PickupStep, SpringsTowardTheShellAndDampsRadialMotion)
{
    Pickup outside;
    outside.position = Vector4{0.0f, 0.0f, 20.0f, 0.0f};
    outside.step();
    // Spring (15 - 20) × 0.1 = -0.5, then a tenth of that taken off again.
    expectNear(outside.velocity, 0, 0, -0.45, "velocity", 0);
    expectNear(outside.position, 0, 0, 20, "position", 0);

    Pickup inside;
    inside.position = Vector4{0.0f, 6.0f, 8.0f, 0.0f};  // radius 10
    inside.step();
    expectNear(inside.velocity, 0, 0.45 * 0.6, 0.45 * 0.8, "velocity", 0);

    // With a tangential velocity: only the radial part of (v + spring) is damped.
    Pickup mixed;
    mixed.position = Vector4{0.0f, 0.0f, 20.0f, 0.0f};
    mixed.velocity = Vector4{0.3f, 0.0f, 0.2f, 0.0f};
    mixed.step();
    const double px = 0.3, pz = 20.2;
    const double d = std::sqrt(px * px + pz * pz);
    const double nx = px / d, nz = pz / d;
    const double k = (15.0 - d) * 0.1;
    const double vx = 0.3 + nx * k, vz = 0.2 + nz * k;
    const double radial = vx * nx + vz * nz;
    expectNear(mixed.velocity, vx - 0.1 * radial * nx, 0, vz - 0.1 * radial * nz, "velocity", 0);
    expectNear(mixed.position, px, 0, pz, "position", 0);
}

TEST(PickupStep, ParkedAndShellPickupsStayPut)
{
    Pickup parked;
    for (int k = 0; k < 100; ++k) {
        parked.step();
    }
    expectNear(parked.position, 0, 0, 0, "position", 0);
    expectNear(parked.velocity, 0, 0, 0, "velocity", 0);

    Pickup onShell;
    onShell.position = Vector4{9.0f, 12.0f, 0.0f, 0.0f};  // exactly 15 from the centre
    onShell.step();
    EXPECT_EQ(onShell.position.x, 9.0f);
    EXPECT_EQ(onShell.position.y, 12.0f);
    EXPECT_EQ(onShell.position.z, 0.0f);
    EXPECT_EQ(onShell.velocity.lengthSquared(), 0.0f);
}

TEST(PickupStep, CirclingPickupsKeepTheirSpeedOnTheShell)
{
    // Pattern 5's revolving rings: after many frames the pickups are still
    // near radius 15 and still moving.
    resetPickups();
    setupLevel(5, session, world);
    for (int frame = 0; frame < 500; ++frame) {
        world.pickups[0].step();
        world.pickups[1500].step();
    }
    for (int i : {0, 1500}) {
        EXPECT_NEAR(world.pickups[i].position.length(), 15.0f, 0.05f) << i;
        EXPECT_NEAR(world.pickups[i].velocity.length(), 0.1f, 0.01f) << i;
    }
}
