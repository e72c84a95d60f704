#pragma once

#include "math/matrix4.h"
#include "math/vector4.h"
#include "world/globe_shadow.h"
#include "world/view.h"

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

// The space inside which a vertex can reach the screen under a modelview and
// a projection: the six clip planes −w ≤ x, y, z ≤ w, as world-space planes.
// The game's projection is w = 1.3 z + 1 with z kept as it is, so besides the
// four side planes there is a near plane at eye z = −1/2.3 and no far plane
// within reach; every part of it is taken from the matrices, whatever they are.
class ViewVolume {
public:
    ViewVolume() = default;  // shows everything
    // Column-major matrices, as GL holds them (see View).
    ViewVolume(const float (&modelview)[16], const float (&projection)[16]);

    // False only when the ball of the given radius about position lies wholly
    // outside one clip plane, by a margin far above the rounding of the
    // vertex transform: then nothing inside the ball can give a fragment.
    bool mayShow(const Vector4& position, float radius) const;

private:
    double planes_[6][4] = {};
    double normals_[6] = {};  // length of each plane's (a, b, c)
    double scale_ = 0.0;      // bound on |clip| per unit of |position|
};

// Gathers the sprites that Billboard::draw is given while it is open and
// hands them to GL in one indexed call of triangles when it is closed:
// each sprite as the two triangles, vertex order and colours its own strip
// would give, in the order they were drawn, so the pixels are the same.
// Sprites whose bounds lie wholly outside the view's volume, or wholly
// behind the globe, are left out. The vertices live in fixed static storage;
// a batch that fills up is sent early and goes on. One batch at a time; the
// view must be the one GL draws with, and no matrix or GL state may change
// while the batch is open.
class SpriteBatch {
public:
    static constexpr int capacity = 4096;  // sprites per call

    // Opens a batch when on is true; with on false, sprites keep being drawn
    // one by one. When globeDrawn is true the globe is already in the depth
    // buffer, and sprites it hides from the camera are left out as well.
    SpriteBatch(bool on, const View& view, bool globeDrawn = false);
    ~SpriteBatch();  // closes: sends what is left
    SpriteBatch(const SpriteBatch&) = delete;
    SpriteBatch& operator=(const SpriteBatch&) = delete;

    void add(const Vector4& position, float h, float v, const Matrix4& view, float r, float g,
             float b);
    void flush();

    int sent() const { return sent_; }
    int culled() const { return culled_; }  // outside the view or hidden
    int hidden() const { return hidden_; }  // of those, hidden by the globe

private:
    bool on_;
    ViewVolume volume_;
    GlobeShadow shadow_;
    int count_ = 0;   // sprites waiting in the arrays
    int sent_ = 0;
    int culled_ = 0;
    int hidden_ = 0;
    bool any_ = false;          // a sprite was added, culled or not
    float last_[3] = {};        // colour of the last sprite added
};
