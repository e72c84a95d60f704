#pragma once

#include "game/controls.h"
#include "world/world.h"

// The engine: thrust from the controls, its exhaust and its sound.

// A frame of play: forward thrust wins over reverse (the primary button or W,
// then the secondary button or S). While thrusting the ship gets ±1024, the
// engine's sound rises and two exhaust sparks are emitted; otherwise the
// thrust is 0 and the sound falls.
void applyThrust(World& world, const Controls& controls, const Controller& controller);

// A screen frame: the engine dies away as if no thrust were asked, and once
// down falls silent, whatever the keys say.
void quietEngine();

// A paused frame: the engine is silent until play goes on, at its level.
void muteEngine();
