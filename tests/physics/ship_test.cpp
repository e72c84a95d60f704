#include "physics/ship.h"

#include <gtest/gtest.h>

namespace {

void expectNear(const Vector4& v, float x, float y, float z, float tolerance = 1e-6f)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

// A ship at rest at the given place, identity orientation, no input.
Ship shipAt(float x, float y, float z)
{
    Ship s;
    s.body.position = {x, y, z, 0};
    return s;
}

}  // namespace

TEST(Ship, StartsAboveTheGlobeWithNoInput)
{
    const Ship ship;
    expectNear(ship.body.position, 0, 50, 0);
    EXPECT_EQ(ship.body.position.w, 0.0f);
    EXPECT_EQ(ship.thrustInput, 0.0f);
    EXPECT_EQ(ship.turnInput, 0.0f);
    EXPECT_FLOAT_EQ(ship.body.inertiaFactor, 50.0f);
}

TEST(Ship, RightsItselfTowardTheOutwardRadial)
{
    Ship s = shipAt(15, 0, 0);
    s.step();
    // On the shell at rest: no spring, no damping, only the up-axis torque.
    expectNear(s.body.velocity, 0, 0, 0);
    expectNear(s.body.position, 15, 0, 0);
    expectNear(s.body.torque, 0, 0, 0.135f);
    expectNear(s.body.orientation.row1(), 0, 1, 0);

    s.step();
    expectNear(s.body.angularVelocity, 0, 0, 0.027f);
    expectNear(s.body.orientation.row1(), 0.0270f, 0.9996f, 0, 1e-4f);
    expectNear(s.body.position, 15, 0, 0);
}

TEST(Ship, UpAxisTorqueUsesThePoseAfterTheBodyStep)
{
    Ship s = shipAt(15, 0, 0);
    s.body.velocity = {0, 0, 1, 0};
    s.step();
    expectNear(s.body.position, 15, 0, 0.8999f);
    // (15, 0, 0.8999) × (0, 0.009, 0)
    expectNear(s.body.torque, -0.8999f * 0.009f, 0, 0.135f);
    expectNear(s.body.angularVelocity, 0, 0, 0);  // consumed only by the next step
}

TEST(Ship, AtTheOriginFeelsNoSpring)
{
    Ship s = shipAt(0, 0, 0);
    s.step();
    expectNear(s.body.velocity, 0, 0, 0);
    expectNear(s.body.torque, 0, 0, 0);
}

TEST(Ship, PositiveTurnInputTurnsRow2TowardRow0)
{
    // At (0, 15, 0) the ship is upright, so only the steering couple turns it.
    Ship s = shipAt(0, 15, 0);
    s.turnInput = 1000;
    s.step();
    expectNear(s.body.angularVelocity, 0, -0.0036f, 0);  // torque (0, −0.018, 0) / 5
    expectNear(s.body.orientation.row2(), 0.0036f, 0, 1.0f, 1e-5f);
    expectNear(s.body.velocity, 0, 0, 0);  // the couple's forces cancel

    Ship other = shipAt(0, 15, 0);
    other.turnInput = -1000;
    other.step();
    expectNear(other.body.orientation.row2(), -0.0036f, 0, 1.0f, 1e-5f);
}

TEST(Ship, AltitudeSpringPullsTowardTheShell)
{
    Ship above = shipAt(0, 20, 0);
    above.step();
    expectNear(above.body.velocity, 0, -0.05f, 0);  // inward force 0.005
    expectNear(above.body.position, 0, 19.95f, 0, 1e-5f);

    Ship below = shipAt(0, 0, -12);
    below.step();
    expectNear(below.body.velocity, 0, 0, -0.03f);  // outward: the shell is 3 away
}

TEST(Ship, SpringWithinHalfAUnitOfTheShellNeedsThrust)
{
    for (float radius : {14.6f, 15.4f}) {
        SCOPED_TRACE(radius);
        Ship s = shipAt(0, radius, 0);
        s.step();
        expectNear(s.body.velocity, 0, 0, 0);
        expectNear(s.body.position, 0, radius, 0);
    }

    Ship outside = shipAt(0, 15.6f, 0);
    outside.step();
    expectNear(outside.body.velocity, 0, -0.006f, 0, 1e-6f);

    // With thrust on the spring adds to it at any distance.
    Ship thrusting = shipAt(0, 15.4f, 0);
    thrusting.thrustInput = -1024;
    thrusting.step();
    expectNear(thrusting.body.velocity, 0, -0.004f, -0.01536f, 1e-6f);
}

TEST(Ship, ThrustPushesAlongRow2)
{
    Ship forward = shipAt(0, 15, 0);
    forward.thrustInput = -1024;
    forward.step();
    expectNear(forward.body.velocity, 0, 0, -0.01536f);  // toward the nose

    Ship reverse = shipAt(0, 15, 0);
    reverse.thrustInput = 1024;
    reverse.step();
    expectNear(reverse.body.velocity, 0, 0, 0.01536f);

    // Turned about the up axis, the thrust follows the turned row2.
    Ship turned = shipAt(0, 15, 0);
    turned.body.orientation.setRotationY(0.5f);
    const Vector4 row2 = turned.body.orientation.row2();
    turned.thrustInput = 1024;
    turned.step();
    expectNear(turned.body.velocity, row2.x * 0.01536f, 0, row2.z * 0.01536f);
}

TEST(Ship, RadialMotionIsDampedBeforeTheBodyStep)
{
    Ship s = shipAt(0, 16, 0);
    s.body.velocity = {0, 1, 0.5f, 0};
    s.step();
    // 10 % of the radial part goes first, then the body damps everything and
    // the spring (0.001 inward) adds its share.
    expectNear(s.body.velocity, 0, 0.9f * 0.8999f - 0.01f, 0.5f * 0.8999f);

    // Exactly on the shell the spring force is zero, and so is the direction
    // the damping is taken along: radial motion goes undamped there.
    Ship onShell = shipAt(0, 15, 0);
    onShell.body.velocity = {0, 1, 0.5f, 0};
    onShell.step();
    expectNear(onShell.body.velocity, 0, 0.8999f, 0.5f * 0.8999f);
}

TEST(Ship, FullThrustSettlesIntoAnOrbitNearTheShell)
{
    Ship s = shipAt(0, 15, 0);
    s.thrustInput = -1024;
    for (int i = 0; i < 200; ++i) {
        s.step();
    }
    EXPECT_NEAR(s.body.velocity.length(), 0.1534f, 5e-4f);
    EXPECT_NEAR(s.body.position.length(), 15.0f, 0.5f);
    // Still upright over the globe.
    Vector4 radial = s.body.position;
    radial.normalize();
    EXPECT_GT(s.body.orientation.row1().dot(radial), 0.99f);
}
