#pragma once

#include "math/vector4.h"
#include "world/world.h"

// The sparks the frame adds to the world's ring. Each draws six random
// values from the game's sequence: three for its colour, three for its drift.

// Two exhaust sparks beside and behind the ship, first at the right side
// (+0.3 along row0), then at the left, drifting at random and backing away
// from the ship's motion: twelve draws.
void emitExhaustPair(World& world);

// A burst spark where a pickup was collected, drifting at random.
void emitBurst(World& world, const Vector4& at);
