#include "game/sparks.h"

#include "math/game_random.h"
#include "world/colour.h"

namespace {

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
void emitExhaust(World& world, float side)
{
    const Ship& ship = world.ship;
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

    emitParticle(world, p);
}

}  // namespace

void emitExhaustPair(World& world)
{
    emitExhaust(world, 0.3f);
    emitExhaust(world, -0.3f);
}

void emitBurst(World& world, const Vector4& at)
{
    Particle burst;
    burst.size = 0.45f;
    burst.colour = randomColour();
    burst.position = at;
    burst.velocity = randomDrift(0.15f);
    emitParticle(world, burst);
}
