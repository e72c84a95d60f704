#pragma once

#include "world/session.h"
#include "world/world.h"

// Pickups and chimes: every pickup takes its step and is tested against the
// ship by direction from the globe's centre (both projected onto the shell,
// so the ship's height does not matter). A collected pickup gives a burst
// spark, is parked at the origin (never collected again), may start the
// chime, and counts toward the level.
void stepPickups(Session& session, World& world);

// A point projected onto the shell (a zero vector stays zero).
Vector4 onShell(Vector4 v);
// Whether a pickup lies within reach of the ship, given the ship's position
// projected onto the shell: closer than √0.6 once projected there too.
bool withinReach(const Pickup& pickup, const Vector4& shipOnShell);
