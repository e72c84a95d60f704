#include "math/matrix4.h"

#include <cmath>
#include <utility>

void Matrix4::setRotationX(float a)
{
    const float c = std::cos(a);
    const float s = std::sin(a);
    m[5] = c;
    m[6] = s;
    m[9] = -s;
    m[10] = c;
}

void Matrix4::setRotationY(float a)
{
    const float c = std::cos(a);
    const float s = std::sin(a);
    m[0] = c;
    m[2] = s;
    m[8] = -s;
    m[10] = c;
}

void Matrix4::setRotationZ(float a)
{
    const float c = std::cos(a);
    const float s = std::sin(a);
    m[0] = c;
    m[1] = s;
    m[4] = -s;
    m[5] = c;
}

void Matrix4::multiply(const Matrix4& o)
{
    float r[16];
    for (int c = 0; c < 4; ++c) {
        for (int row = 0; row < 4; ++row) {
            r[4 * c + row] = m[row] * o.m[4 * c] + m[4 + row] * o.m[4 * c + 1] +
                             m[8 + row] * o.m[4 * c + 2] + m[12 + row] * o.m[4 * c + 3];
        }
    }
    for (int k = 0; k < 16; ++k) {
        m[k] = r[k];
    }
}

void Matrix4::transpose()
{
    for (int c = 0; c < 4; ++c) {
        for (int r = c + 1; r < 4; ++r) {
            std::swap(m[4 * c + r], m[4 * r + c]);
        }
    }
}

Matrix4 Matrix4::blendRotation(const Matrix4& target, float t) const
{
    Matrix4 n;
    for (int k : {0, 1, 2, 4, 5, 6, 8, 9, 10}) {
        n.m[k] = m[k] + (target.m[k] - m[k]) * t;
    }
    n.m[3] = n.m[7] = n.m[11] = 0.0f;
    n.m[12] = n.m[13] = n.m[14] = 0.0f;
    n.m[15] = 1.0f;
    return n;
}
