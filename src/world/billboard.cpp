#include "world/billboard.h"

#include <GL/gl.h>

#include "world/sprite_batch.h"

namespace {

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

}  // namespace

void Billboard::draw(const Vector4& position, float h, float v, const Matrix4& view, float r,
                     float g, float b) const
{
    if (SpriteBatch* batch = SpriteBatch::open()) {
        batch->add(position, h, v, view, r, g, b);
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
