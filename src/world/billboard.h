#pragma once

#include "math/matrix4.h"
#include "math/vector4.h"

// Camera-facing quads: sprites and bitmap-font letters. Uses whatever texture,
// blending and depth state is current. `view` supplies the screen's right
// axis (row0) and up axis (row1). While a SpriteBatch is open, draw() adds the
// sprite to it instead of drawing at once.
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

// Every sprite's alpha.
constexpr float spriteAlpha = 0.9f;

// A sprite's texture coordinates per corner, in strip order.
constexpr float spriteTexCoords[4][2] = {{0.0f, 1.0f}, {1.0f, 1.0f}, {0.0f, 0.0f}, {1.0f, 0.0f}};

// The four corners' offsets from a quad's centre, in strip order:
// right-bottom, left-bottom, right-top, left-top as seen from the camera.
struct CornerOffsets {
    Vector4 offset[4];
    Vector4 right;  // the view's right axis scaled by h
    Vector4 up;     // the view's up axis scaled by v

    CornerOffsets(float h, float v, const Matrix4& view) : right(view.row0()), up(view.row1())
    {
        right.scale(h);
        up.scale(v);
        Vector4 left = right;
        left.scale(-1.0f);
        offset[0] = right;
        offset[0].subtract(up);
        offset[1] = left;
        offset[1].subtract(up);
        offset[2] = right;
        offset[2].add(up);
        offset[3] = left;
        offset[3].add(up);
    }
};
