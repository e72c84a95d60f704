#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "feedback_vertices.h"
#include "world/globe_mesh.h"

namespace {

// Value-initialised, so the 1 MiB height map starts at zero.
std::unique_ptr<GlobeMesh> makeMesh(float radius, Vector4 centre = {})
{
    auto mesh = std::make_unique<GlobeMesh>();
    mesh->build(radius, centre);
    return mesh;
}

float distance(const Vector4& a, const Vector4& b)
{
    Vector4 d = a;
    d.subtract(b);
    return std::sqrt(d.lengthSquared());
}

constexpr Colour white{1.0f, 1.0f, 1.0f, 1.0f};
constexpr int half = 64;

}  // namespace

TEST(GlobeMeshBuild, LaysOutTheNearIcosahedron)
{
    auto mesh = makeMesh(10.0f);
    const Vector4* v = mesh->baseVertices;
    const float expected[][3] = {{0, 10, 0}, {0, 5, -8.660f}, {-5.090f, -5, -7.006f}, {0, -10, 0}};
    const int index[] = {0, 1, 6, 11};
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(v[index[k]].x, expected[k][0], 1e-3f) << index[k];
        EXPECT_NEAR(v[index[k]].y, expected[k][1], 1e-3f) << index[k];
        EXPECT_NEAR(v[index[k]].z, expected[k][2], 1e-3f) << index[k];
    }
    // Two rings of five at ±R/2, the lower turned by half a step.
    for (int k = 1; k <= 10; ++k) {
        EXPECT_NEAR(v[k].y, k <= 5 ? 5.0f : -5.0f, 1e-4f) << k;
        EXPECT_NEAR(std::hypot(v[k].x, v[k].z), 8.6602540f, 1e-3f) << k;
    }

    int uses[GlobeMesh::vertexCount] = {};
    for (const auto& face : mesh->faces) {
        for (int corner : face) {
            ASSERT_GE(corner, 0);
            ASSERT_LT(corner, GlobeMesh::vertexCount);
            ++uses[corner];
        }
    }
    for (int k = 0; k < GlobeMesh::vertexCount; ++k) {
        EXPECT_EQ(uses[k], 5) << k;
    }
    EXPECT_EQ(mesh->faces[14][0], 10);
    EXPECT_EQ(mesh->faces[14][1], 6);
    EXPECT_EQ(mesh->faces[14][2], 1);
}

TEST(GlobeMeshBuild, RebuildsAroundANewCentre)
{
    auto mesh = makeMesh(10.0f);
    const Vector4 centre{15.0f, 0.0f, 0.0f, 0.0f};
    mesh->build(1.0f, centre);
    EXPECT_EQ(mesh->radius, 1.0f);
    for (const Vector4& v : mesh->baseVertices) {
        EXPECT_NEAR(distance(v, centre), 1.0f, 1e-5f);
        EXPECT_EQ(v.w, 0.0f);
    }
}

TEST(PlaceOnSurface, MapsDirectionsToTextureCoordinates)
{
    auto mesh = makeMesh(10.0f);
    struct Case {
        Vector4 point;
        float u;
    } cases[] = {{{0, 0, 20, 0}, 1.0f}, {{20, 0, 0, 0}, 0.75f}, {{0, 0, -20, 0}, 0.5f},
                 {{-20, 0, 0, 0}, 0.25f}};
    for (Case& c : cases) {
        float u = -1.0f, v = -1.0f;
        Vector4 p = c.point;
        p.w = 3.0f;
        mesh->placeOnSurface(p, u, v);
        EXPECT_NEAR(u, c.u, 1e-6f);
        EXPECT_NEAR(v, 0.5f, 1e-6f);
        EXPECT_NEAR(std::sqrt(p.lengthSquared()), 10.0f, 1e-5f);
        EXPECT_EQ(p.w, 3.0f);  // w is not touched
    }
    Vector4 front{0, 0, 20, 0};
    float u, v;
    mesh->placeOnSurface(front, u, v);
    EXPECT_NEAR(front.z, 10.0f, 1e-5f);

    // v runs linearly in height: 0 at the bottom pole, 1 at the top.
    Vector4 top{0, 3, 0, 0}, bottom{0, -3, 0, 0}, halfway{0, 1, std::sqrt(3.0f), 0};
    mesh->placeOnSurface(top, u, v);
    EXPECT_NEAR(v, 1.0f, 1e-6f);
    mesh->placeOnSurface(bottom, u, v);
    EXPECT_NEAR(v, 0.0f, 1e-6f);
    mesh->placeOnSurface(halfway, u, v);
    EXPECT_NEAR(v, 0.75f, 1e-6f);

    // The centre itself stays put with u = 1, v = 0.5.
    Vector4 centre{};
    mesh->placeOnSurface(centre, u, v);
    EXPECT_EQ(u, 1.0f);
    EXPECT_EQ(v, 0.5f);
    EXPECT_EQ(centre.lengthSquared(), 0.0f);
}

TEST(PlaceOnSurface, HeightMapRaisesTheLookedUpPoint)
{
    auto mesh = makeMesh(10.0f);
    // (0, 0, 20) has u = 1, v = 0.5: column 511, row 255.
    mesh->heightMap[511 * 512 + 255] = 765.0f;
    Vector4 p{0, 0, 20, 0};
    float u, v;
    mesh->placeOnSurface(p, u, v);
    EXPECT_NEAR(std::sqrt(p.lengthSquared()), 10.765f, 1e-4f);

    // A neighbouring direction reads a different element and stays at 10.
    Vector4 q{20, 0, 0, 0};
    mesh->placeOnSurface(q, u, v);
    EXPECT_NEAR(std::sqrt(q.lengthSquared()), 10.0f, 1e-4f);
}

TEST(PlaceOnSurface, LookupStaysInsideTheMapForAnyDirection)
{
    // Every element holds 100, so any lookup inside the map lifts the point by
    // exactly 0.1; a lookup past the map would read the fields behind it.
    auto mesh = makeMesh(10.0f);
    for (float& h : mesh->heightMap) {
        h = 100.0f;
    }
    const float eps = std::numeric_limits<float>::epsilon();
    const float nasty[] = {0.0f, 1.0f, -1.0f, eps, -eps, 1.0f - eps, 1e-20f, -1e-20f, 0.7071068f};
    int checked = 0;
    for (float x : nasty) {
        for (float y : nasty) {
            for (float z : nasty) {
                Vector4 p{x * 20, y * 20, z * 20, 0};
                if (p.lengthSquared() < 1e-6f) {
                    continue;
                }
                float u, v;
                mesh->placeOnSurface(p, u, v);
                EXPECT_GE(v, 0.0f);
                EXPECT_LE(v, 1.0f);
                EXPECT_GT(u, -1e-6f);
                EXPECT_LE(u, 1.0f);
                EXPECT_NEAR(std::sqrt(p.lengthSquared()), 10.1f, 1e-4f) << x << ' ' << y << ' ' << z;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 500);

    // A point that is not a number must not index outside the map either
    // (the sanitizer build checks the conversion and the access).
    Vector4 bad{std::nanf(""), 0, 1, 0};
    float u, v;
    mesh->placeOnSurface(bad, u, v);
}

TEST(SeamFix, KeepsNeighbouringCornersOnOneSide)
{
    EXPECT_FLOAT_EQ(fixSeam(0.95f, 0.02f), 1.02f);
    EXPECT_FLOAT_EQ(fixSeam(1.02f, 0.97f), 0.97f);
    EXPECT_FLOAT_EQ(fixSeam(0.02f, 0.95f), -0.05f);
    EXPECT_EQ(fixSeam(0.25f, 0.75f), 0.75f);  // exactly half a turn is left alone
    EXPECT_EQ(fixSeam(0.75f, 0.25f), 0.25f);
}

TEST(GlobeMeshDraw, TriangleAcrossTheSeamGetsContinuousCoordinates)
{
    OffscreenGl gl;
    ASSERT_TRUE(gl.ok());
    useWorldProjection(half);
    auto mesh = makeMesh(10.0f);

    Vector4 corners[3];
    const float us[] = {0.95f, 0.02f, 0.97f};
    for (int k = 0; k < 3; ++k) {
        const float a = (1.0f - us[k]) * 6.2831855f;
        corners[k] = Vector4{20 * std::sin(a), 0, 20 * std::cos(a), 0};
    }
    FeedbackRecorder rec;
    rec.begin();
    mesh->drawTriangle(corners, Colour{0.5f, 0.25f, 1.0f, 0.75f});
    const int floats = rec.end();
    const auto polygons = feedbackPolygons(rec, floats, half);
    ASSERT_EQ(polygons.size(), 1u);
    ASSERT_EQ(polygons[0].size(), 3u);
    const float expectedU[] = {0.95f, 1.02f, 0.97f};
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(polygons[0][k].s, expectedU[k], 1e-4f) << k;
        EXPECT_NEAR(polygons[0][k].t, 0.5f, 1e-4f) << k;
        EXPECT_NEAR(polygons[0][k].a, 0.75f, 1e-3f);
        // The corners were moved onto the surface in place.
        EXPECT_NEAR(std::sqrt(corners[k].lengthSquared()), 10.0f, 1e-4f);
    }
}

TEST(GlobeMeshDraw, SubdivisionEmitsFourToTheDepthTriangles)
{
    OffscreenGl gl;
    ASSERT_TRUE(gl.ok());
    useWorldProjection(half);
    auto mesh = makeMesh(10.0f);
    const Vector4 k = mesh->baseVertices[0], l = mesh->baseVertices[1], m = mesh->baseVertices[2];

    FeedbackRecorder rec;
    const int expected[] = {4, 4, 16, 64};
    for (int depth = 0; depth <= 3; ++depth) {
        rec.begin();
        mesh->drawSubdivided(k, l, m, depth, white);
        ASSERT_GT(rec.end(), 0);
        EXPECT_EQ(rec.polygonCount(), expected[depth]) << depth;
    }

    rec.begin();
    mesh->draw(white, 4);
    ASSERT_GT(rec.end(), 0);
    EXPECT_EQ(rec.polygonCount(), 5120);

    rec.begin();
    mesh->draw(white, 0);
    ASSERT_GT(rec.end(), 0);
    EXPECT_EQ(rec.polygonCount(), 80);

    // Drawing never changes the mesh's own vertices.
    EXPECT_EQ(mesh->baseVertices[0].x, k.x);
    EXPECT_EQ(mesh->baseVertices[1].z, l.z);
}

TEST(GlobeMeshDraw, DrawnCornersCarryTheRelief)
{
    OffscreenGl gl;
    ASSERT_TRUE(gl.ok());
    useWorldProjection(half);
    auto mesh = makeMesh(10.0f);
    for (float& h : mesh->heightMap) {
        h = 500.0f;
    }
    FeedbackRecorder rec;
    rec.begin();
    mesh->draw(white, 2);
    const int floats = rec.end();
    const auto polygons = feedbackPolygons(rec, floats, half);
    ASSERT_EQ(polygons.size(), 20u * 16u);
    for (const auto& polygon : polygons) {
        for (const FeedbackVertex& v : polygon) {
            EXPECT_NEAR(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z), 10.5f, 2e-3f);
        }
    }
}
