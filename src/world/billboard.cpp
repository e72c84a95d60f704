#include "world/billboard.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "world/clip_matrix.h"

namespace {

constexpr float spriteAlpha = 0.9f;

Vector4 sum(Vector4 a, const Vector4& b)
{
    a.add(b);
    return a;
}

Vector4 difference(Vector4 a, const Vector4& b)
{
    a.subtract(b);
    return a;
}

Vector4 negated(Vector4 a)
{
    a.scale(-1.0f);
    return a;
}

// The four corners' offsets from the centre, in strip order: right-bottom,
// left-bottom, right-top, left-top as seen from the camera.
struct CornerOffsets {
    Vector4 offset[4];
    Vector4 right;
    Vector4 up;

    CornerOffsets(float h, float v, const Matrix4& view) : right(view.row0()), up(view.row1())
    {
        right.scale(h);
        up.scale(v);
        offset[0] = difference(right, up);
        offset[1] = difference(negated(right), up);
        offset[2] = sum(right, up);
        offset[3] = sum(negated(right), up);
    }
};

// One strip of four corners with the texture coordinates given per corner.
void quad(const Vector4& position, float h, float v, const Matrix4& view, float r, float g, float b,
          const float (&st)[4][2])
{
    const CornerOffsets corners(h, v, view);
    glBegin(GL_TRIANGLE_STRIP);
    glColor4f(r, g, b, spriteAlpha);
    for (int k = 0; k < 4; ++k) {
        const Vector4& o = corners.offset[k];
        glTexCoord2f(st[k][0], st[k][1]);
        glVertex3f(position.x + o.x, position.y + o.y, position.z + o.z);
    }
    glEnd();
}

constexpr float spriteTexCoords[4][2] = {{0.0f, 1.0f}, {1.0f, 1.0f}, {0.0f, 0.0f}, {1.0f, 0.0f}};

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
SpriteBatch* openBatch = nullptr;

double maxRowSum(const float (&m)[16])
{
    double best = 0.0;
    for (int row = 0; row < 4; ++row) {
        double s = 0.0;
        for (int column = 0; column < 4; ++column) {
            s += std::fabs(static_cast<double>(m[4 * column + row]));
        }
        best = std::max(best, s);
    }
    return best;
}

}  // namespace

void Billboard::draw(const Vector4& position, float h, float v, const Matrix4& view, float r,
                     float g, float b) const
{
    if (openBatch != nullptr) {
        openBatch->add(position, h, v, view, r, g, b);
        return;
    }
    quad(position, h, v, view, r, g, b, spriteTexCoords);
}

void Billboard::drawGlyph(char c, const Vector4& position, float h, float v, const Matrix4& view,
                          float r, float g, float b) const
{
    if (c == ' ') {
        return;
    }
    // Letters a..z sit in six columns of cells 1/8 wide and high from the
    // top-left of the atlas. Characters before 'a' land on negative cells and
    // show whatever the repeating texture puts there.
    const int glyph = static_cast<signed char>(c) - 'a';
    const int column = glyph % 6;
    const float row = static_cast<float>(glyph - column) * 0.16666667f;
    const float left = static_cast<float>(column) * 0.125f;
    const float right = left + 0.125f;
    const float top = row * 0.125f;
    const float tTop = 1.0f - top;
    const float tBottom = 1.0f - (top + 0.125f);

    const float st[4][2] = {{right, tBottom}, {left, tBottom}, {right, tTop}, {left, tTop}};
    quad(position, h, v, view, r, g, b, st);
}

void Billboard::drawText(const char* text, int lastIndex, Vector4& position, float h, float v,
                         const Matrix4& view, float r, float g, float b) const
{
    Vector4 step = view.row0();
    step.scale(h * 1.1f);
    for (int k = lastIndex; k >= 0; --k) {
        position.subtract(step);
        drawGlyph(text[k], position, h, v, view, r, g, b);
    }
}

ViewVolume::ViewVolume(const float (&modelview)[16], const float (&projection)[16])
{
    // Clip coordinates of a world point: clip · (x, y, z, 1).
    double clip[4][4];
    clipMatrix(modelview, projection, clip);
    // w + x, w − x, w + y, w − y, w + z, w − z: each ≥ 0 inside.
    for (int axis = 0; axis < 3; ++axis) {
        for (int side = 0; side < 2; ++side) {
            double* plane = planes_[2 * axis + side];
            const double sign = side == 0 ? 1.0 : -1.0;
            for (int column = 0; column < 4; ++column) {
                plane[column] = clip[3][column] + sign * clip[axis][column];
            }
            normals_[2 * axis + side] =
                std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
        }
    }
    // GL transforms by the modelview and then the projection, in float; each
    // clip coordinate is then off by a few float epsilons (6e-8) of
    // |projection| · |modelview| · |point|. The margin below is a thousand
    // times that.
    scale_ = maxRowSum(projection) * maxRowSum(modelview);
}

bool ViewVolume::mayShow(const Vector4& position, float radius) const
{
    const double x = position.x;
    const double y = position.y;
    const double z = position.z;
    const double r = radius;
    const double extent = std::max({std::fabs(x), std::fabs(y), std::fabs(z), 1.0}) + r;
    const double margin = 1e-4 * scale_ * extent;
    for (int k = 0; k < 6; ++k) {
        const double* p = planes_[k];
        // The value of the plane at the ball's point farthest inside.
        const double farthest = p[0] * x + p[1] * y + p[2] * z + p[3] + r * normals_[k];
        if (farthest < -margin) {
            return false;
        }
    }
    return true;  // also for a position that is not a number
}

SpriteBatch::SpriteBatch(bool on, const View& view, bool globeDrawn) : on_(on && openBatch == nullptr)
{
    if (on_) {
        volume_ = ViewVolume(view.modelview.m, view.projection.m);
        if (globeDrawn) {
            shadow_ = GlobeShadow::ofDrawnGlobe(view.modelview.m, view.projection.m);
        }
        openBatch = this;
    }
}

SpriteBatch::~SpriteBatch()
{
    if (!on_) {
        return;
    }
    flush();
    openBatch = nullptr;
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
