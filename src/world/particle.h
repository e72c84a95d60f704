#pragma once

#include "math/matrix4.h"
#include "math/vector4.h"
#include "world/billboard.h"
#include "world/colour.h"

// An exhaust or burst spark. It fades by 0.95 and moves by its velocity on
// every drawn frame until its ring slot is overwritten.
struct Particle {
    Billboard billboard;
    Colour colour;
    Vector4 position;
    Vector4 velocity;
    float size = 0.45f;  // half width and half height of the sprite

    void draw(const Matrix4& view);  // fades the colour first, then draws
    void drawStill(const Matrix4& view) const;  // as it is, without fading
    void move();
};

// The ring of sparks the world holds (world/world.h).
constexpr int particleSlots = 100;
