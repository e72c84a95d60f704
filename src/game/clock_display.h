#pragma once

#include "game/overlay.h"
#include "world/session.h"
#include "world/textures.h"

// The time left on the level in seven-segment digits, with the word "time"
// beside it, in screen space. Leaves the line width at 10, which every
// later number keeps (the screens set none of their own), and the glow
// texture bound, as a frame of play expects.
void drawClock(const Session& session, const Textures& textures, const Display& display);
