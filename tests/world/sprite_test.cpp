#include <gtest/gtest.h>

#include "world/session.h"
#include "world/world.h"

#include <algorithm>
#include <cmath>

#include "feedback_vertices.h"
#include "world/billboard.h"
#include "world/particle.h"

namespace {

// The game's progress and world in play, as the game holds them.
Session session;
World world;

constexpr int half = 64;

struct Bounds {
    float minS = 1e9f, maxS = -1e9f, minT = 1e9f, maxT = -1e9f;
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    void add(const FeedbackVertex& v)
    {
        minS = std::min(minS, v.s);
        maxS = std::max(maxS, v.s);
        minT = std::min(minT, v.t);
        maxT = std::max(maxT, v.t);
        minX = std::min(minX, v.x);
        maxX = std::max(maxX, v.x);
        minY = std::min(minY, v.y);
        maxY = std::max(maxY, v.y);
    }
};

class Sprites : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gl.ok());
        useWorldProjection(half);
    }

    std::vector<FeedbackPolygon> record(auto draw)
    {
        rec.begin();
        draw();
        const int floats = rec.end();
        return feedbackPolygons(rec, floats, half);
    }

    OffscreenGl gl;
    FeedbackRecorder rec;
    Matrix4 view;  // identity: right is +x, up is +y
    Billboard billboard;
};

Bounds boundsOf(const std::vector<FeedbackPolygon>& polygons, std::size_t first, std::size_t count)
{
    Bounds b;
    for (std::size_t k = first; k < first + count && k < polygons.size(); ++k) {
        for (const FeedbackVertex& v : polygons[k]) {
            b.add(v);
        }
    }
    return b;
}

}  // namespace

TEST_F(Sprites, QuadFacesTheCameraWithItsCornersInOrder)
{
    const auto polygons = record([&] {
        billboard.draw(Vector4{10, 20, 5, 0}, 2.0f, 3.0f, view, 0.25f, 0.5f, 0.75f);
    });
    ASSERT_EQ(polygons.size(), 2u);  // one strip of two triangles
    const FeedbackPolygon& first = polygons[0];
    ASSERT_EQ(first.size(), 3u);
    // Bottom right, bottom left, top right; the image is turned half a turn.
    const float expected[3][4] = {{12, 17, 0, 1}, {8, 17, 1, 1}, {12, 23, 0, 0}};
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(first[k].x, expected[k][0], 1e-3f) << k;
        EXPECT_NEAR(first[k].y, expected[k][1], 1e-3f) << k;
        EXPECT_NEAR(first[k].z, 5.0f, 1e-3f) << k;
        EXPECT_NEAR(first[k].s, expected[k][2], 1e-6f) << k;
        EXPECT_NEAR(first[k].t, expected[k][3], 1e-6f) << k;
        EXPECT_NEAR(first[k].r, 0.25f, 1e-3f);
        EXPECT_NEAR(first[k].b, 0.75f, 1e-3f);
        EXPECT_NEAR(first[k].a, 0.9f, 1e-3f);
    }

    // A turned view turns the quad: right becomes the view's row 0.
    view.setRotationZ(1.5707964f);
    const auto turned = record([&] {
        billboard.draw(Vector4{}, 2.0f, 3.0f, view, 1, 1, 1);
    });
    const Bounds b = boundsOf(turned, 0, turned.size());
    EXPECT_NEAR(b.maxX - b.minX, 6.0f, 1e-3f);
    EXPECT_NEAR(b.maxY - b.minY, 4.0f, 1e-3f);
}

TEST_F(Sprites, GlyphsUseTheirAtlasCells)
{
    struct Cell {
        char c;
        float left, bottom;
    } cells[] = {{'a', 0.0f, 0.875f}, {'g', 0.0f, 0.75f}, {'z', 0.125f, 0.375f},
                 {'f', 0.625f, 0.875f}};
    for (const Cell& cell : cells) {
        const auto polygons = record([&] {
            billboard.drawGlyph(cell.c, Vector4{}, 1.0f, 1.0f, view, 1, 1, 1);
        });
        ASSERT_EQ(polygons.size(), 2u) << cell.c;
        const Bounds b = boundsOf(polygons, 0, 2);
        EXPECT_NEAR(b.minS, cell.left, 1e-6f) << cell.c;
        EXPECT_NEAR(b.maxS, cell.left + 0.125f, 1e-6f) << cell.c;
        EXPECT_NEAR(b.minT, cell.bottom, 1e-6f) << cell.c;
        EXPECT_NEAR(b.maxT, cell.bottom + 0.125f, 1e-6f) << cell.c;
        // Unlike sprites, letters are not turned: the right edge shows the right of the cell.
        EXPECT_NEAR(polygons[0][0].s, cell.left + 0.125f, 1e-6f) << cell.c;
        EXPECT_NEAR(polygons[0][0].t, cell.bottom, 1e-6f) << cell.c;
    }

    const auto space = record([&] { billboard.drawGlyph(' ', Vector4{}, 1, 1, view, 1, 1, 1); });
    EXPECT_TRUE(space.empty());
}

TEST_F(Sprites, TextRunsRightToLeftFromThePosition)
{
    Vector4 position{10, 0, 0, 0};
    const auto none = record([&] {
        billboard.drawText("ab", -1, position, 2.0f, 2.0f, view, 1, 1, 1);
    });
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(position.x, 10.0f);

    const auto polygons = record([&] {
        billboard.drawText("ab", 1, position, 2.0f, 2.0f, view, 1, 1, 1);
    });
    ASSERT_EQ(polygons.size(), 4u);
    // 'b' first, one step (1.1 × 2) left of the position, then 'a' two steps left.
    const Bounds b = boundsOf(polygons, 0, 2);
    const Bounds a = boundsOf(polygons, 2, 2);
    EXPECT_NEAR((b.minX + b.maxX) / 2, 10.0f - 2.2f, 1e-3f);
    EXPECT_NEAR(b.minS, 0.125f, 1e-6f);
    EXPECT_NEAR((a.minX + a.maxX) / 2, 10.0f - 4.4f, 1e-3f);
    EXPECT_NEAR(a.minS, 0.0f, 1e-6f);
    EXPECT_NEAR(position.x, 10.0f - 4.4f, 1e-4f);
    EXPECT_EQ(position.y, 0.0f);
}

TEST_F(Sprites, ParticleFadesBeforeEachDraw)
{
    Particle p;
    p.colour = Colour{1.0f, 1.0f, 1.0f, 0.0f};
    p.position = Vector4{1, 2, 3, 0};
    p.velocity = Vector4{0.5f, 0, -1, 0};
    float expected = 1.0f;
    for (int frame = 1; frame <= 5; ++frame) {
        expected *= 0.95f;
        const auto polygons = record([&] { p.draw(view); });
        ASSERT_EQ(polygons.size(), 2u);
        EXPECT_NEAR(polygons[0][0].r, std::pow(0.95f, frame), 2e-3f) << frame;
        EXPECT_FLOAT_EQ(p.colour.g, expected);
        // The default size 0.45 gives a quad 0.9 across.
        const Bounds b = boundsOf(polygons, 0, 2);
        EXPECT_NEAR(b.maxX - b.minX, 0.9f, 1e-3f);
        p.move();
    }
    EXPECT_NEAR(p.position.x, 3.5f, 1e-5f);
    EXPECT_NEAR(p.position.z, -2.0f, 1e-5f);
}

TEST(ParticleRing, WrapsTheHeadAndStopsTheCountAtNinetyNine)
{
    world.particleHead = 0;
    world.particleCount = 0;
    Particle p;
    for (int k = 0; k < 99; ++k) {
        p.position.x = static_cast<float>(k);
        emitParticle(world, p);
    }
    EXPECT_EQ(world.particleHead, 99);
    EXPECT_EQ(world.particleCount, 99);

    p.position.x = 99.0f;
    p.size = 0.2f;
    emitParticle(world, p);
    EXPECT_EQ(world.particleHead, 0);
    EXPECT_EQ(world.particleCount, 99);
    EXPECT_EQ(world.particles[99].position.x, 99.0f);  // written, but beyond the drawn count
    EXPECT_EQ(world.particles[99].size, 0.2f);

    p.position.x = 100.0f;
    emitParticle(world, p);
    EXPECT_EQ(world.particleHead, 1);
    EXPECT_EQ(world.particleCount, 99);
    EXPECT_EQ(world.particles[0].position.x, 100.0f);
    EXPECT_EQ(world.particles[1].position.x, 1.0f);
}
