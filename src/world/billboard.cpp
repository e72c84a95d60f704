#include "world/billboard.h"

#include <GL/gl.h>

namespace {

constexpr float spriteAlpha = 0.9f;

void vertexAt(const Vector4& position, const Vector4& offset)
{
    glVertex3f(position.x + offset.x, position.y + offset.y, position.z + offset.z);
}

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

// One strip of four corners: right-bottom, left-bottom, right-top, left-top
// as seen from the camera, with the texture coordinates given per corner.
void quad(const Vector4& position, float h, float v, const Matrix4& view, float r, float g, float b,
          const float (&st)[4][2])
{
    Vector4 right = view.row0();
    right.scale(h);
    Vector4 up = view.row1();
    up.scale(v);

    glBegin(GL_TRIANGLE_STRIP);
    glColor4f(r, g, b, spriteAlpha);
    glTexCoord2f(st[0][0], st[0][1]);
    vertexAt(position, difference(right, up));
    glTexCoord2f(st[1][0], st[1][1]);
    vertexAt(position, difference(negated(right), up));
    glTexCoord2f(st[2][0], st[2][1]);
    vertexAt(position, sum(right, up));
    glTexCoord2f(st[3][0], st[3][1]);
    vertexAt(position, sum(negated(right), up));
    glEnd();
}

}  // namespace

void Billboard::draw(const Vector4& position, float h, float v, const Matrix4& view, float r,
                     float g, float b) const
{
    const float st[4][2] = {{0.0f, 1.0f}, {1.0f, 1.0f}, {0.0f, 0.0f}, {1.0f, 0.0f}};
    quad(position, h, v, view, r, g, b, st);
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
