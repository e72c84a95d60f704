#include "game/number_display.h"

#include <GL/gl.h>

#include <cstdint>

#include "world/digit_segments.h"

namespace {

// One segment as its own pair of line vertices.
void segment(float x0, float y0, float x1, float y1, float z)
{
    glBegin(GL_LINES);
    glVertex3f(x0, y0, z);
    glVertex3f(x1, y1, z);
    glEnd();
}

// The segments of mask around (x, y), in bit order top … centre bar.
void drawDigit(int mask, float x, float y, float z, float e)
{
    const float l = x - e / 2.0f;
    const float r = x + e / 2.0f;
    const float t = y + e;
    const float b = y - e;
    if (mask & 0x01) segment(l, t, r, t, z);  // top
    if (mask & 0x02) segment(l, t, l, y, z);  // upper left
    if (mask & 0x04) segment(l, y, r, y, z);  // middle
    if (mask & 0x08) segment(r, t, r, y, z);  // upper right
    if (mask & 0x10) segment(l, y, l, b, z);  // lower left
    if (mask & 0x20) segment(l, b, r, b, z);  // bottom
    if (mask & 0x40) segment(r, y, r, b, z);  // lower right
    if (mask & 0x80) segment(x, t, x, b, z);  // centre bar
}

}  // namespace

// The digits come out least significant first, each one step further left.
// Subtracting only the digit (not digit × place) leaves the higher digits as
// they were, so each pass still reads the right one. The place value is kept
// in 64 bits so that ten-digit values do not overflow it.
void drawNumber(int value, const Vector4& position, float e)
{
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    float x = position.x;
    const float y = position.y;
    const float z = position.z;
    std::int64_t v = value;
    std::int64_t place = 1;
    while (v >= place) {
        const int digit = static_cast<int>((v % (place * 10)) / place);
        x -= 1.5f * e;
        v -= digit;
        place *= 10;
        drawDigit(digitSegments[digit], x, y, z, e);
    }
    glEnable(GL_DEPTH_TEST);
}

float numberWidth(int value, float e)
{
    float w = 0.0f;
    std::int64_t v = value;
    std::int64_t place = 1;
    while (v >= place) {
        w += 1.5f * e;
        v -= (v % (place * 10)) / place;
        place *= 10;
    }
    return w - 1.5f * e;
}
