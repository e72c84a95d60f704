#pragma once

#include "audio/sound.h"

// The game's three sounds, created at window creation; null when a file could
// not be loaded (the game then runs on without that sound).
extern Sound* pickupSound;
extern Sound* thrustSound;
extern Sound* musicSound;

extern int thrustLevel;  // 0..3000; the thrust loop plays at thrustLevel − 5000

// Keeps the thrust loop in step with the thrust: starts it when thrust begins,
// raises its volume by 100 per thrusting frame and lowers it by 100 per idle
// frame. Does nothing when the thrust sound was not created.
void updateThrustSound(bool thrusting);

// On screens: lowers the thrust loop's volume by 100 a frame as an idle frame
// of play does, and once thrustLevel is 0 turns it down to silence. Only
// updateThrustSound, in play, makes it heard again.
void quietThrustSound();
