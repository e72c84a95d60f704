#pragma once

#include "math/matrix4.h"
#include "math/vector4.h"
#include "world/billboard.h"
#include "world/colour.h"

// A collectable light on the shell of radius 15.
struct Pickup {
    Vector4 position;
    Vector4 velocity;
    Colour colour;
    Billboard billboard;

    // One frame: move, spring toward the shell, damp a tenth of the radial
    // velocity. A pickup parked at the origin stays there.
    void step();

    void draw(const Matrix4& view) const;
};

// The pickups of a level, which the world holds (world/world.h).
constexpr int pickupCount = 2000;
