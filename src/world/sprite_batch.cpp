#include "world/sprite_batch.h"

#include <GL/gl.h>

#include <cmath>

#include "world/billboard.h"

namespace {

// One vertex of a batch, interleaved for the three client arrays.
struct SpriteVertex {
    float s, t;
    float r, g, b, a;
    float x, y, z;
};

// A strip of corners 0 1 2 3 is the triangles (0, 1, 2) and (2, 1, 3): the
// second keeps the winding by swapping its first two corners. Flat shading
// takes the colour of each triangle's last corner; all four share it. Each
// corner is stored once and the triangles index it, so GL shades four
// vertices per sprite rather than six.
constexpr int stripAsTriangles[6] = {0, 1, 2, 2, 1, 3};
constexpr int cornersPerSprite = 4;
constexpr int indicesPerSprite = 6;
static_assert(SpriteBatch::capacity * cornersPerSprite <= 65536, "corner numbers fit 16 bits");

struct SpriteIndices {
    GLushort index[SpriteBatch::capacity * indicesPerSprite];
    constexpr SpriteIndices() : index()
    {
        for (int k = 0; k < SpriteBatch::capacity; ++k) {
            for (int i = 0; i < indicesPerSprite; ++i) {
                index[k * indicesPerSprite + i] = static_cast<GLushort>(k * cornersPerSprite + stripAsTriangles[i]);
            }
        }
    }
};
constexpr SpriteIndices batchIndices;

SpriteVertex batchVertices[SpriteBatch::capacity * cornersPerSprite];

}  // namespace

SpriteBatch::SpriteBatch(bool on, const View& view, bool globeDrawn) : on_(on && open_ == nullptr)
{
    if (on_) {
        volume_ = ViewVolume(view.modelview.m, view.projection.m);
        if (globeDrawn) {
            shadow_ = GlobeShadow::ofDrawnGlobe(view.modelview.m, view.projection.m);
        }
        open_ = this;
    }
}

SpriteBatch::~SpriteBatch()
{
    if (!on_) {
        return;
    }
    flush();
    open_ = nullptr;
    if (any_) {
        // The current colour and texture coordinate as the last sprite's
        // strip leaves them, whether or not it was sent.
        glColor4f(last_[0], last_[1], last_[2], spriteAlpha);
        glTexCoord2f(spriteTexCoords[3][0], spriteTexCoords[3][1]);
    }
}

void SpriteBatch::add(const Vector4& position, float h, float v, const Matrix4& view, float r,
                      float g, float b)
{
    any_ = true;
    last_[0] = r;
    last_[1] = g;
    last_[2] = b;

    const CornerOffsets corners(h, v, view);
    // Every corner lies within |right| + |up| of the centre.
    const float radius = std::sqrt(corners.right.lengthSquared()) + std::sqrt(corners.up.lengthSquared());
    if (!volume_.mayShow(position, radius)) {
        ++culled_;
        return;
    }
    if (shadow_.hides(position, radius)) {
        ++culled_;
        ++hidden_;
        return;
    }
    if (count_ == capacity) {
        flush();
    }
    SpriteVertex* out = batchVertices + count_ * cornersPerSprite;
    for (int corner = 0; corner < cornersPerSprite; ++corner) {
        const Vector4& o = corners.offset[corner];
        out[corner] = SpriteVertex{spriteTexCoords[corner][0],
                              spriteTexCoords[corner][1],
                              r,
                              g,
                              b,
                              spriteAlpha,
                              position.x + o.x,
                              position.y + o.y,
                              position.z + o.z};
    }
    ++count_;
}

void SpriteBatch::flush()
{
    if (count_ == 0) {
        return;
    }
    constexpr GLsizei stride = sizeof(SpriteVertex);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, stride, &batchVertices[0].s);
    glColorPointer(4, GL_FLOAT, stride, &batchVertices[0].r);
    glVertexPointer(3, GL_FLOAT, stride, &batchVertices[0].x);
    glDrawElements(GL_TRIANGLES, count_ * indicesPerSprite, GL_UNSIGNED_SHORT, batchIndices.index);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    sent_ += count_;
    count_ = 0;
}
