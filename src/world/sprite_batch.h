#pragma once

#include "math/matrix4.h"
#include "math/vector4.h"
#include "world/globe_shadow.h"
#include "world/view.h"
#include "world/view_volume.h"

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

    // The batch that is open, or null.
    static SpriteBatch* open() { return open_; }

    void add(const Vector4& position, float h, float v, const Matrix4& view, float r, float g,
             float b);
    void flush();

    int sent() const { return sent_; }
    int culled() const { return culled_; }  // outside the view or hidden
    int hidden() const { return hidden_; }  // of those, hidden by the globe

private:
    static inline SpriteBatch* open_ = nullptr;

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
