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
    void move();
};

constexpr int particleSlots = 100;
extern Particle particles[particleSlots];
extern int particleHead;   // slot the next particle is written to, 0..99
extern int particleCount;  // slots drawn and moved, counted from slot 0; at most 99

// Writes p into slot particleHead, then advances the head (wrapping at 100) and
// the count (which stops at 99: once the ring has wrapped, slot 99 is written
// but never drawn).
void emitParticle(const Particle& p);
