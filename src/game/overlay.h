#pragma once

// The texts and numbers drawn over the picture (the screens, the in-play
// clock, the pause and the volume) are laid out in screen space: both
// matrices the identity, x and y from −1 to +1 across the square viewport,
// which is as wide as the window. On a window wider than 5:4 that square
// reaches past the top and bottom, and only |y| ≤ height/width shows; the
// overlays are then drawn smaller, scaled about the centre, so that they
// show whole and sit as they would on a 5:4 screen. The 3D picture keeps
// the square viewport.

// How the overlays are drawn: the scale that follows from the window's
// client size.
struct Display {
    float overlayScale = 1.0f;
};

// 1 for a window of 5:4 or narrower; (height / width) / 0.8 for a wider one.
float overlayScale(int width, int height);

// Both matrices the identity, then the overlay scale on the model-view
// (nothing at all when the scale is 1). Leaves GL_MODELVIEW.
void beginOverlay(const Display& display);
