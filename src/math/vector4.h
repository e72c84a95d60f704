#pragma once

#include <cmath>

// A point or direction. Every operation works on x, y and z only; w is carried
// along by copies and left as it was by in-place operations, so callers may
// keep their own data in it.
struct Vector4 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;

    void add(const Vector4& o)
    {
        x += o.x;
        y += o.y;
        z += o.z;
    }

    void subtract(const Vector4& o)
    {
        x -= o.x;
        y -= o.y;
        z -= o.z;
    }

    void scale(float s)
    {
        x *= s;
        y *= s;
        z *= s;
    }

    float dot(const Vector4& o) const { return x * o.x + y * o.y + z * o.z; }

    // this × o; the result's w is 0.
    Vector4 cross(const Vector4& o) const
    {
        return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x, 0.0f};
    }

    float lengthSquared() const { return x * x + y * y + z * z; }

    // 0 for vectors whose squared length is below 1e-9.
    float length() const
    {
        const float q = lengthSquared();
        return q < 1e-9f ? 0.0f : std::sqrt(q);
    }

    // Scales x, y, z to unit length. A vector whose squared length is below
    // 1e-9, whose length is not above 1e-13, or that is not a number is left
    // unchanged, so a zero vector stays zero and never becomes NaN.
    void normalize()
    {
        const float q = lengthSquared();
        if (q < 1e-9f) {
            return;
        }
        const float l = std::sqrt(q);
        if (!(l > 1e-13f)) {  // also true when q is NaN
            return;
        }
        const float k = 1.0f / l;
        x *= k;
        y *= k;
        z *= k;
    }
};
