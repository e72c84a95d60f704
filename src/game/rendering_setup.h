#pragma once

#include "game/overlay.h"
#include "world/textures.h"

struct SquareViewport {
    int x;
    int y;
    int width;
    int height;
};

// A square of side width at x 0, moved down by half of |width − height|
// (truncated toward zero).
SquareViewport squareViewport(int width, int height);

// The GL state, the six textures from the five image files (the earth image
// also fills the globe's height map), lighting, the figure crowd and digit
// table, the viewport (a square as wide as the window's client area) and a
// first projection; the display's size and overlay scale. Runs at window
// creation and again on every size change; each run reads the files again
// and makes new textures in place of the previous run's.
void setupRendering(Textures& textures, Display& display, int width, int height);
