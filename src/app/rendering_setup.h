#pragma once

// The desktop size, read once when the window is created; the viewport is
// made from it, not from the window's client size.
extern int screenWidth;
extern int screenHeight;

struct SquareViewport {
    int x;
    int y;
    int width;
    int height;
};

// A square of side width at x 0, moved down by half of |width − height|
// (truncated toward zero).
SquareViewport squareViewport(int width, int height);

// The GL state, the six textures from the five image files, lighting, the
// figure crowd and digit table, viewport and a first projection. Runs at window
// creation and again on every size change.
void setupRendering();
