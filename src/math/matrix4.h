#pragma once

#include "math/vector4.h"

// Sixteen floats in OpenGL's column-major order: row r, column c is m[4c + r],
// the translation is m[12..14]. Handed unchanged to glMultMatrixf. Vectors are
// column vectors: v' = M · v.
struct Matrix4 {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    // The rotation setters write only their four elements; use them on a
    // fresh identity to get a pure rotation.
    void setRotationX(float a);  // +y turns toward +z
    void setRotationY(float a);  // +x turns toward +z (the reverse of right-handed)
    void setRotationZ(float a);  // +x turns toward +y

    // this = this · o, computed through a temporary so that o may be *this.
    void multiply(const Matrix4& o);

    void transpose();

    // The transpose of the 3 × 3 part applied to v (w of v ignored); for a pure
    // rotation this is the inverse rotation. The result's w is the translation
    // row dotted with v.
    Vector4 transformTransposed(const Vector4& v) const
    {
        return {m[0] * v.x + m[1] * v.y + m[2] * v.z, m[4] * v.x + m[5] * v.y + m[6] * v.z,
                m[8] * v.x + m[9] * v.y + m[10] * v.z, m[12] * v.x + m[13] * v.y + m[14] * v.z};
    }

    Vector4 row0() const { return {m[0], m[4], m[8], 0.0f}; }
    Vector4 row1() const { return {m[1], m[5], m[9], 0.0f}; }
    Vector4 row2() const { return {m[2], m[6], m[10], 0.0f}; }

    void setRow0(float x, float y, float z)
    {
        m[0] = x;
        m[4] = y;
        m[8] = z;
    }
    void setRow1(float x, float y, float z)
    {
        m[1] = x;
        m[5] = y;
        m[9] = z;
    }
    void setRow2(float x, float y, float z)
    {
        m[2] = x;
        m[6] = y;
        m[10] = z;
    }
    void setTranslation(float x, float y, float z)
    {
        m[12] = x;
        m[13] = y;
        m[14] = z;
    }

    // Moves each of the nine orientation elements the fraction t of the way
    // toward target. Translation is dropped (0) and m[15] is 1; the result is
    // not re-orthonormalised. The receiver is unchanged.
    Matrix4 blendRotation(const Matrix4& target, float t) const;
};
