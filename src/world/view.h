#pragma once

#include "math/matrix4.h"

// What the camera pass set up for a frame, handed down to the world pass and
// its sprite batches so that nothing has to read it back from GL.
struct View {
    // The camera's orientation: row0 is the screen's right axis, row1 its up
    // axis, row2 the viewing direction. Sprites face the viewer through it.
    Matrix4 orientation;
    // The matrices GL transforms with, column-major and bit for bit as GL
    // holds them.
    Matrix4 modelview;
    Matrix4 projection;
};

// The matrix GL holds after glLoadIdentity and glMultMatrixf(m): the identity
// multiplied by m in float, term by term in GL's order. That is m itself
// except where a zero's sign or a value that is not finite meets the
// identity's zeros, and there it is what GL holds too.
inline Matrix4 multipliedOntoIdentity(const Matrix4& m)
{
    Matrix4 held;
    held.multiply(m);
    return held;
}
