#pragma once

#include "math/matrix4.h"
#include "math/vector4.h"

// Camera-facing quads: sprites and bitmap-font letters. Stateless; uses
// whatever texture, blending and depth state is current. `view` supplies the
// screen's right axis (row0) and up axis (row1).
struct Billboard {
    // One textured quad of half extents h × v at position, colour (r, g, b, 0.9).
    void draw(const Vector4& position, float h, float v, const Matrix4& view, float r, float g,
              float b) const;

    // One letter a–z of the font atlas (six cells per row from the top-left,
    // each 1/8 of the texture); a space draws nothing.
    void drawGlyph(char c, const Vector4& position, float h, float v, const Matrix4& view,
                   float r, float g, float b) const;

    // Draws characters lastIndex down to 0 of text, right to left, one step of
    // 1.1 × h to the left before each; leaves position at the leftmost glyph.
    // A lastIndex below 0 draws nothing.
    void drawText(const char* text, int lastIndex, Vector4& position, float h, float v,
                  const Matrix4& view, float r, float g, float b) const;
};
