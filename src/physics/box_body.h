#pragma once

#include "math/matrix4.h"
#include "math/plane.h"
#include "math/vector4.h"

// One point of a body's hull: eight corners and the centre. The game builds
// and moves the hull with its body, but nothing reads it yet (it draws no
// random numbers, so keeping it changes no colour and no frame).
struct BoxPoint {
    float radius = 0.5f;    // the corners are inset by it
    Vector4 worldPosition;  // written by updateHull
    Vector4 localPosition;  // in the body frame, written by setHalfExtents
    Vector4 displacement;   // worldPosition after minus before the last updateHull
};

struct BoxEdge {
    Vector4 start;
    Vector4 end;
};

// A rigid body with a box hull. There is no time step: every constant is per
// step, and the game runs one step per frame. Force and torque accumulate
// between steps; step consumes and clears them.
struct BoxBody {
    static constexpr int pointCount = 9;  // 0..7 corners, 8 the centre
    static constexpr int faceCount = 6;
    static constexpr int edgeCount = 12;

    BoxPoint points[pointCount];
    Plane facePlanes[faceCount];
    BoxEdge edges[edgeCount];
    Vector4 position;
    Vector4 velocity;         // world displacement per step
    Vector4 angularVelocity;  // rotation angles about x, y, z per step
    Matrix4 orientation;      // maps world to body; its translation stays 0
    float mass = 0.1f;
    Vector4 force;
    Vector4 torque;
    float inertiaFactor = 50.0f;  // torque is divided by inertiaFactor × mass

    BoxBody();

    // Lays out the hull in the body frame. The face planes describe the full
    // box; the corners and edges are inset by the corner radius (which, with
    // the construction values, turns them inside out: corner 0 ends up at
    // (0.2, 0.2, 0.2)). Sets inertiaFactor to 100.
    void setHalfExtents(float a, float b, float c);

    // Adds force F at lever arm r from position; the torque added is F × r.
    void applyForce(Vector4 force, Vector4 lever);
    void addTorque(Vector4 t);

    // One integration step (damping, dead zone, force and torque, position,
    // rotation orientation · Z · Y · X with the Y angle negated), then
    // updateHull. Never re-orthonormalises.
    void step();

    // Rebuilds the world-space points, face planes and edges from the pose.
    void updateHull();
};
