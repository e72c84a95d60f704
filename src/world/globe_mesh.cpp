#include "world/globe_mesh.h"

#include <GL/gl.h>

#include <cmath>

#include "math/matrix4.h"

namespace {

constexpr float pi = 3.1415927f;
constexpr float twoPi = 6.2831855f;

constexpr int faceTable[GlobeMesh::faceCount][3] = {
    {0, 1, 2},  {0, 2, 3},  {0, 3, 4},   {0, 4, 5},  {0, 5, 1},
    {1, 6, 2},  {2, 7, 3},  {3, 8, 4},   {4, 9, 5},  {5, 10, 1},
    {6, 7, 2},  {7, 8, 3},  {8, 9, 4},   {9, 10, 5}, {10, 6, 1},
    {6, 11, 7}, {7, 11, 8}, {8, 11, 9},  {9, 11, 10}, {10, 11, 6},
};

// Truncates 511 × t toward zero and keeps the result a valid map index even
// when t strays outside [0, 1] by rounding or is not a number.
int mapIndex(float t)
{
    const float f = 511.0f * t;
    if (!(f >= 0.0f)) {
        return 0;
    }
    if (f >= 511.0f) {
        return 511;
    }
    return static_cast<int>(f);
}

Vector4 sphereMidpoint(const Vector4& a, const Vector4& b, const Vector4& c, float r)
{
    Vector4 q = a;
    q.add(b);
    q.scale(0.5f);
    q.subtract(c);
    q.normalize();
    q.scale(r);
    q.add(c);
    return q;
}

}  // namespace

void GlobeMesh::build(float r, Vector4 c)
{
    radius = r;
    center = c;

    int vertex = 0;
    for (int i = 0; i < 7; ++i) {
        int n = i < 2 ? 5 * i : 5 * (3 - i);
        if (n == 0) {
            n = 1;
        }
        if (n < 0) {
            continue;
        }
        const float elevation = static_cast<float>(i) * 1.0471976f + 1.5707963f;
        const float offset = static_cast<float>((i + 1) % 2);
        const float step = 1.0f / static_cast<float>(n);
        for (int j = 0; j < n; ++j) {
            const float azimuth = offset * (pi * step) + (twoPi * step) * static_cast<float>(j);
            Matrix4 m;
            m.setRotationX(elevation);
            Matrix4 y;
            y.setRotationY(azimuth);
            m.multiply(y);
            Vector4 p = m.transformTransposed(Vector4{0.0f, 0.0f, r, 0.0f});
            p.add(c);
            p.w = 0.0f;
            baseVertices[vertex++] = p;
        }
    }

    for (int f = 0; f < faceCount; ++f) {
        for (int k = 0; k < 3; ++k) {
            faces[f][k] = faceTable[f][k];
        }
    }
}

void GlobeMesh::placeOnSurface(Vector4& p, float& u, float& v) const
{
    Vector4 d = p;
    d.subtract(center);
    d.normalize();

    v = (d.y + 1.0f) * 0.5f;

    Vector4 h = d;
    h.y = 0.0f;
    h.normalize();
    // Single-precision normalisation can leave x a hair beyond ±1.
    const float hx = std::fmax(-1.0f, std::fmin(1.0f, h.x));
    float alpha = std::asin(hx);
    if (h.z < 0.0f) {
        alpha = pi - alpha;
    }
    if (alpha < 0.0f) {
        alpha += twoPi;
    }
    u = 1.0f - alpha * 0.15915494f;

    p.x = d.x;
    p.y = d.y;
    p.z = d.z;

    const int i = mapIndex(u);
    const int j = mapIndex(v);
    const float s = heightMap[i * mapSize + j] * 0.001f + radius;
    p.scale(s);
    p.add(center);
}

float fixSeam(float previousU, float u)
{
    if (std::fabs(previousU - u) > 0.5f) {
        return previousU < u ? u - 1.0f : u + 1.0f;
    }
    return u;
}

void GlobeMesh::drawTriangle(Vector4 (&corners)[3], const Colour& colour) const
{
    glBegin(GL_TRIANGLE_STRIP);
    float previousU = 0.0f;
    for (int k = 0; k < 3; ++k) {
        Vector4& p = corners[k];
        // The normal is the plain sphere's, taken before the corner moves.
        Vector4 n = p;
        n.subtract(center);
        n.normalize();

        float u = 0.0f;
        float v = 0.0f;
        placeOnSurface(p, u, v);
        if (k > 0) {
            u = fixSeam(previousU, u);
        }
        previousU = u;

        glTexCoord2f(u, v);
        glNormal3f(n.x, n.y, n.z);
        glColor4f(colour.r, colour.g, colour.b, colour.a);
        glVertex3f(p.x, p.y, p.z);
    }
    glEnd();
}

void GlobeMesh::drawSubdivided(const Vector4& k, const Vector4& l, const Vector4& m, int depth,
                               const Colour& colour) const
{
    const Vector4 kl = sphereMidpoint(k, l, center, radius);
    const Vector4 lm = sphereMidpoint(l, m, center, radius);
    const Vector4 mk = sphereMidpoint(m, k, center, radius);

    Vector4 triangles[4][3] = {
        {k, kl, mk},
        {kl, l, lm},
        {mk, lm, m},
        {kl, lm, mk},
    };

    for (auto& t : triangles) {
        if (depth <= 1) {
            drawTriangle(t, colour);
        } else {
            drawSubdivided(t[0], t[1], t[2], depth - 1, colour);
        }
    }
}

void GlobeMesh::draw(const Colour& colour, int depth) const
{
    for (int f = 0; f < faceCount; ++f) {
        const Vector4 k = baseVertices[faces[f][0]];
        const Vector4 l = baseVertices[faces[f][1]];
        const Vector4 m = baseVertices[faces[f][2]];
        drawSubdivided(k, l, m, depth, colour);
    }
}

MiniGlobe::MiniGlobe() { mesh.build(0.1f, Vector4{}); }
