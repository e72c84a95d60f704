#pragma once

#include "math/vector4.h"

// A face plane: unit normal and its dot product with a point of the plane.
struct Plane {
    Vector4 normal;
    float distance = 0.0f;

    // normal = normalised (p0 − p1) × (p0 − p2), which points toward the side
    // from which p0, p1, p2 run counter-clockwise; distance = normal · p0.
    // Collinear points give a zero normal and distance 0.
    void setFromPoints(const Vector4& p0, const Vector4& p1, const Vector4& p2);
};
