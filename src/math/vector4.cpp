#include "math/vector4.h"

#include <cmath>

float Vector4::length() const
{
    const float q = lengthSquared();
    if (q < 1e-9f) {
        return 0.0f;
    }
    return std::sqrt(q);
}

void Vector4::normalize()
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
