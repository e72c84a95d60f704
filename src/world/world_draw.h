#pragma once

#include "math/matrix4.h"

extern int worldFirstDraw;  // 1 until the first world draw has compiled the lists

// The world pass of a frame of play, inside the camera's transform: globe,
// moon, glow, sky, particles (drawn and moved), pickups and ship. view is the
// camera's orientation, which turns the sprites toward the viewer. The first
// call compiles the globe and moon lists and fills the sky instead of drawing
// the globe.
void drawWorld(const Matrix4& view);
