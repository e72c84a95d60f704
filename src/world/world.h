#pragma once

#include "physics/ship.h"
#include "world/particle.h"
#include "world/pickup.h"

// The world in play: the 2000 pickups, the ring of sparks and the ship. The
// game holds one for the whole run, in fixed storage (nothing is allocated
// per frame). A new level (setupLevel) places the pickups again and puts the
// ship back to its start pose; the sparks are never cleared, they fade until
// overwritten.
struct World {
    Pickup pickups[pickupCount];
    Particle particles[particleSlots];
    int particleHead = 0;   // slot the next particle is written to, 0..99
    int particleCount = 0;  // slots drawn and moved, counted from slot 0; at most 99
    Ship ship;              // starts at (0, 50, 0)
};

// Writes p into slot particleHead, then advances the head (wrapping at 100) and
// the count (which stops at 99: once the ring has wrapped, slot 99 is written
// but never drawn).
void emitParticle(World& world, const Particle& p);
