#include "physics/box_body.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {

void expectNear(const Vector4& v, float x, float y, float z, float tolerance = 1e-6f)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

void expectMatricesNear(const Matrix4& a, const Matrix4& b)
{
    for (int k = 0; k < 16; ++k) {
        EXPECT_NEAR(a.m[k], b.m[k], 1e-6f) << "element " << k;
    }
}

// Outward normals of the six faces, in plane order.
constexpr float faceNormals[6][3] = {
    {0, 0, -1}, {0, -1, 0}, {0, 1, 0}, {-1, 0, 0}, {0, 0, 1}, {1, 0, 0},
};

}  // namespace

TEST(BoxBody, FreshBodyHasConstructionValues)
{
    const BoxBody b;
    expectNear(b.position, 0, 0, 0);
    expectNear(b.velocity, 0, 0, 0);
    expectNear(b.angularVelocity, 0, 0, 0);
    expectMatricesNear(b.orientation, Matrix4{});
    EXPECT_FLOAT_EQ(b.mass, 0.1f);
    EXPECT_FLOAT_EQ(b.inertiaFactor, 50.0f);

    // The faces describe the full box of half extent 0.3 ...
    for (int f = 0; f < 6; ++f) {
        SCOPED_TRACE(f);
        expectNear(b.facePlanes[f].normal, faceNormals[f][0], faceNormals[f][1], faceNormals[f][2]);
        EXPECT_FLOAT_EQ(b.facePlanes[f].distance, 0.3f);
    }
    // ... while the corners, inset by their radius 0.5, come out inside out.
    expectNear(b.points[0].localPosition, 0.2f, 0.2f, 0.2f);
    expectNear(b.points[1].localPosition, -0.2f, 0.2f, 0.2f);
    expectNear(b.points[7].localPosition, -0.2f, -0.2f, -0.2f);
    expectNear(b.points[8].localPosition, 0, 0, 0);
    EXPECT_FLOAT_EQ(b.points[0].radius, 0.5f);
    EXPECT_FLOAT_EQ(b.points[7].radius, 0.5f);
    EXPECT_FLOAT_EQ(b.points[8].radius, -0.2f);

    // Edges are copies of the inset corners; nothing is in world space yet.
    expectNear(b.edges[0].start, 0.2f, 0.2f, 0.2f);
    expectNear(b.edges[0].end, -0.2f, 0.2f, 0.2f);
    expectNear(b.edges[11].end, -0.2f, -0.2f, -0.2f);
    expectNear(b.points[3].worldPosition, 0, 0, 0);
}

TEST(BoxBody, SetHalfExtentsLaysOutFacesCornersAndEdges)
{
    BoxBody b;
    b.setHalfExtents(3.0f, 1.5f, 2.0f);
    EXPECT_FLOAT_EQ(b.inertiaFactor, 100.0f);
    const float distances[6] = {2.0f, 1.5f, 1.5f, 3.0f, 2.0f, 3.0f};
    for (int f = 0; f < 6; ++f) {
        SCOPED_TRACE(f);
        expectNear(b.facePlanes[f].normal, faceNormals[f][0], faceNormals[f][1], faceNormals[f][2]);
        EXPECT_FLOAT_EQ(b.facePlanes[f].distance, distances[f]);
    }
    // Inset by 0.5: (2.5, 1.0, 1.5); the centre takes the smallest.
    expectNear(b.points[0].localPosition, -2.5f, -1.0f, -1.5f);
    expectNear(b.points[4].localPosition, 2.5f, 1.0f, -1.5f);
    expectNear(b.points[6].localPosition, 2.5f, -1.0f, 1.5f);
    EXPECT_FLOAT_EQ(b.points[8].radius, 1.0f);
    // Edge 4 runs from corner 1 to corner 6, edge 7 from corner 3 to corner 5.
    expectNear(b.edges[4].start, 2.5f, -1.0f, -1.5f);
    expectNear(b.edges[4].end, 2.5f, -1.0f, 1.5f);
    expectNear(b.edges[7].start, -2.5f, -1.0f, 1.5f);
    expectNear(b.edges[7].end, -2.5f, 1.0f, 1.5f);
}

TEST(BoxBody, StepDampsVelocityAndSpin)
{
    BoxBody b;
    b.velocity = {1, 0, 0, 0};
    b.angularVelocity = {0, 0, 0.1f, 0};
    b.step();
    expectNear(b.velocity, 0.8999f, 0, 0);
    expectNear(b.position, 0.8999f, 0, 0);
    expectNear(b.angularVelocity, 0, 0, 0.1f * 0.88979f);
    b.step();
    expectNear(b.velocity, 0.8999f * 0.8999f, 0, 0);
    expectNear(b.position, 0.8999f + 0.8999f * 0.8999f, 0, 0);
    expectNear(b.angularVelocity, 0, 0, 0.1f * 0.88979f * 0.88979f);
}

TEST(BoxBody, SmallForcesFallInTheDeadZone)
{
    BoxBody b;
    b.applyForce({0.0003f, 0, 0.0003f, 0}, {});  // length 0.000424
    b.step();
    expectNear(b.velocity, 0, 0, 0);
    expectNear(b.force, 0, 0, 0);
    b.step();  // the discarded force does not come back
    expectNear(b.velocity, 0, 0, 0);

    // Exactly 0.0005 is not below the threshold.
    b.applyForce({0, 0.0005f, 0, 0}, {});
    b.step();
    expectNear(b.velocity, 0, 0.005f, 0);

    // The dead zone applies to the sum of the step's forces, not to each one.
    BoxBody c;
    c.applyForce({0, 0, 0.0003f, 0}, {});
    c.applyForce({0, 0, 0.0003f, 0}, {});
    c.step();
    expectNear(c.velocity, 0, 0, 0.006f);
}

TEST(BoxBody, ForceMovesTheBodyInTheSameStep)
{
    BoxBody b;
    b.velocity = {1, 0, 0, 0};
    b.applyForce({0.001f, 0, 0, 0}, {});
    b.step();
    expectNear(b.velocity, 0.8999f + 0.01f, 0, 0);
    expectNear(b.position, 0.8999f + 0.01f, 0, 0);
    expectNear(b.force, 0, 0, 0);
    expectNear(b.angularVelocity, 0, 0, 0);
}

TEST(BoxBody, TorqueIsForceCrossLeverAndTurnsThroughTheNegatedYAngle)
{
    BoxBody b;
    b.applyForce({0, 0, 1, 0}, {1, 0, 0, 0});
    expectNear(b.torque, 0, 1, 0);  // F × r, not r × F
    expectNear(b.force, 0, 0, 1);
    b.addTorque({0, 0, 0.5f, 0});
    expectNear(b.torque, 0, 1, 0.5f);
    b.torque = {0, 1, 0, 0};

    b.step();
    expectNear(b.angularVelocity, 0, 0.2f, 0);
    expectNear(b.torque, 0, 0, 0);
    Matrix4 expected;
    expected.setRotationY(-0.2f);
    expectMatricesNear(b.orientation, expected);
    EXPECT_NEAR(b.orientation.row2().x, -std::sin(0.2f), 1e-6f);

    // The spin carries on, damped, without new torque.
    b.step();
    expectNear(b.angularVelocity, 0, 0.2f * 0.88979f, 0);
}

TEST(BoxBody, RotationAppliesZThenYThenXAfterTheOrientation)
{
    BoxBody b;
    b.orientation.setRotationX(0.5f);
    const Matrix4 start = b.orientation;
    b.angularVelocity = {0.1f, 0.2f, 0.3f, 0};
    b.step();

    const float k = 0.88979f;
    Matrix4 x;
    x.setRotationX(0.1f * k);
    Matrix4 y;
    y.setRotationY(-0.2f * k);
    Matrix4 z;
    z.setRotationZ(0.3f * k);
    Matrix4 expected = start;
    expected.multiply(z);
    expected.multiply(y);
    expected.multiply(x);
    expectMatricesNear(b.orientation, expected);

    // The translation part stays zero.
    EXPECT_EQ(b.orientation.m[12], 0.0f);
    EXPECT_EQ(b.orientation.m[14], 0.0f);
}

TEST(BoxBody, UpdateHullMovesPointsFacesAndEdges)
{
    BoxBody b;
    b.position = {1, 2, 3, 0};
    b.updateHull();
    expectNear(b.points[8].worldPosition, 1, 2, 3);
    expectNear(b.points[0].worldPosition, 1.2f, 2.2f, 3.2f);
    expectNear(b.points[0].displacement, 1.2f, 2.2f, 3.2f);  // from the origin
    expectNear(b.edges[0].start, 1.2f, 2.2f, 3.2f);
    expectNear(b.edges[0].end, 0.8f, 2.2f, 3.2f);

    // Rebuilt from the inside-out corners, the faces keep their outward
    // normals but lie 0.2 behind the centre.
    for (int f = 0; f < 6; ++f) {
        SCOPED_TRACE(f);
        expectNear(b.facePlanes[f].normal, faceNormals[f][0], faceNormals[f][1], faceNormals[f][2]);
    }
    EXPECT_NEAR(b.facePlanes[5].distance, 1.0f - 0.2f, 1e-6f);
    EXPECT_NEAR(b.facePlanes[3].distance, -1.0f - 0.2f, 1e-6f);
    EXPECT_NEAR(b.facePlanes[2].distance, 2.0f - 0.2f, 1e-6f);

    // After a step every displacement is the motion of its point.
    b.velocity = {0.5f, 0, 0, 0};
    b.torque = {0, 0, 0.5f, 0};  // spins 0.1 about z
    Vector4 before[9];
    for (int k = 0; k < 9; ++k) {
        before[k] = b.points[k].worldPosition;
    }
    b.step();
    expectNear(b.points[8].worldPosition, b.position.x, b.position.y, b.position.z);
    expectNear(b.points[8].displacement, 0.5f * 0.8999f, 0, 0);
    for (int k = 0; k < 9; ++k) {
        SCOPED_TRACE(k);
        Vector4 expected = b.orientation.transformTransposed(b.points[k].localPosition);
        expected.add(b.position);
        expectNear(b.points[k].worldPosition, expected.x, expected.y, expected.z);
        expected.subtract(before[k]);
        expectNear(b.points[k].displacement, expected.x, expected.y, expected.z);
    }
    expectNear(b.edges[11].end, b.points[7].worldPosition.x, b.points[7].worldPosition.y,
               b.points[7].worldPosition.z);
}

TEST(BoxBody, ConstantForceApproachesTerminalSpeed)
{
    // Full thrust of the ship: 0.001536 each step against damping 0.8999.
    BoxBody b;
    for (int i = 0; i < 300; ++i) {
        b.applyForce({0, 0, -0.001536f, 0}, {});
        b.step();
    }
    EXPECT_NEAR(b.velocity.z, -0.1534f, 1e-4f);  // 0.01536 / (1 − 0.8999)
}
