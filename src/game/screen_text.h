#pragma once

#include "game/overlay.h"
#include "world/textures.h"

// Blue lower-case text in screen space, in the game's font (the font texture
// bound, blending on). Every text ends with one empty letter slot: its last
// character sits two letter steps (2 × 1.1 × h) left of the anchor x; h and
// v are the letters' half extents.
void drawScreenText(const char* text, float x, float y, float z, float h, float v);

// The same text centred on x = 0.
void drawCentredText(const char* text, float y, float h, float v);

// The state every screen-space text pass starts in: the overlay's matrices,
// the font texture drawn blended, lighting and depth test off.
void beginTextPass(const Display& display, const Textures& textures);

// Back to the state a frame of play expects: blending off, the glow texture
// bound, depth test and lighting on.
void endTextPass(const Textures& textures);
