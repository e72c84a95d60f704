#include <gtest/gtest.h>

#include "world/session.h"
#include "world/world.h"

#include <cmath>
#include <cstdint>

#include "feedback_vertices.h"
#include "math/game_random.h"
#include "physics/ship.h"
#include "world/display_lists.h"
#include "world/globe_mesh.h"
#include "world/level.h"
#include "world/particle.h"
#include "world/pickup.h"
#include "world/world_draw.h"

namespace {

// The game's progress and world in play, as the game holds them.
Session session;
World world;
Textures textures;

// Big enough for the glow at z = -2000 and the whole sky.
constexpr int half = 2048;

struct Lcg {
    std::uint32_t state;
    int next()
    {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
};

class WorldPass : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gl.ok());
        useWorldProjection(half);
        view = currentView();
        glFrontFace(GL_CW);  // as the rendering set-up leaves it
        worldFirstDraw = 1;
        world.particleCount = 0;
        world.particleHead = 0;
        session.levelTime = 0.0f;
    }

    int countPolygons()
    {
        rec.begin();
        drawWorld(view, world, session.levelTime, textures);
        const int floats = rec.end();
        EXPECT_GT(floats, 0);
        return rec.polygonCount();
    }

    OffscreenGl gl;
    FeedbackRecorder rec{1 << 22};
    View view;
};

bool enabled(GLenum cap) { return glIsEnabled(cap) == GL_TRUE; }

}  // namespace

TEST_F(WorldPass, FirstDrawCompilesListsAndDrawsNoGlobe)
{
    const int first = countPolygons();
    EXPECT_EQ(worldFirstDraw, 0);
    EXPECT_TRUE(glIsList(earthGlobeList));
    EXPECT_TRUE(glIsList(moonGlobeList));
    for (int i = 0; i < miniGlobeCount; ++i) {
        EXPECT_FALSE(glIsList(firstMiniGlobeList + i)) << i;  // numbered, compiled on demand
        EXPECT_EQ(miniGlobes[i].displayList, 10 + i);
    }
    EXPECT_EQ(miniGlobeList(7), 17u);
    EXPECT_TRUE(glIsList(17));
    EXPECT_FALSE(glIsList(18));
    EXPECT_EQ(miniGlobeList(7), 17u);  // compiled once
    EXPECT_EQ(miniGlobeList(miniGlobeCount), 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_FALSE(enabled(GL_CULL_FACE));  // the first pass does not enable culling

    // Glow, 10000 sky sprites and 2000 pickups, two triangles each, and the ship.
    EXPECT_GE(first, 2 * (1 + skySpriteCount + pickupCount));
    EXPECT_LE(first, 2 * (1 + skySpriteCount + pickupCount) + 2);

    // Later frames add the globe and the moon from their lists. (Mesa feeds
    // back only part of a list of strips, so their triangles are counted by
    // the mesh tests and their pixels by the next test.)
    const int second = countPolygons();
    EXPECT_GT(second, first);
    EXPECT_TRUE(enabled(GL_CULL_FACE));

    // State left behind: depth writes back on, smooth, lit, no blending.
    GLboolean depthMask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
    EXPECT_EQ(depthMask, GL_TRUE);
    GLint shade = 0;
    glGetIntegerv(GL_SHADE_MODEL, &shade);
    EXPECT_EQ(shade, GL_SMOOTH);
    EXPECT_TRUE(enabled(GL_LIGHTING));
    EXPECT_FALSE(enabled(GL_BLEND));
    EXPECT_TRUE(enabled(GL_TEXTURE_2D));
}

TEST(WorldPixels, GlobeAppearsFromTheSecondFrameAndTurnsWithTheClock)
{
    OffscreenGl gl(64, 64);
    ASSERT_TRUE(gl.ok());
    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-16, 16, -16, 16, -16, 16);  // the sky lies almost wholly outside
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat ambient[] = {1, 1, 1, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glClearColor(0, 0, 0, 0);
    worldFirstDraw = 1;
    world.ship.body.position = Vector4{0.0f, 50.0f, 0.0f, 0.0f};  // out of sight
    const View view = currentView();
    auto brightness = [&](int x, int y) {
        glFinish();
        return gl.pixels()[4 * (y * 64 + x)];
    };

    glClear(GL_COLOR_BUFFER_BIT);
    drawWorld(view, world, session.levelTime, textures);
    EXPECT_EQ(brightness(32, 32), 0);  // no globe on the first frame
    EXPECT_EQ(brightness(62, 32), 0);

    glClear(GL_COLOR_BUFFER_BIT);
    drawWorld(view, world, session.levelTime, textures);
    EXPECT_GT(brightness(32, 32), 0);  // the earth, radius 10 at the centre
    EXPECT_GT(brightness(12, 32), 0);
    EXPECT_GT(brightness(62, 32), 0);  // the moon at (15, 0, 0)
    EXPECT_EQ(brightness(56, 32), 0);  // the gap between them
    EXPECT_EQ(brightness(32, 56), 0);

    // A quarter turn of the moon's orbit (levelTime 31.4 × 0.05) takes it
    // off the right-hand side to the far side, out of this view's x range.
    session.levelTime = 31.415927f;
    glClear(GL_COLOR_BUFFER_BIT);
    drawWorld(view, world, session.levelTime, textures);
    EXPECT_EQ(brightness(62, 32), 0);
    EXPECT_GT(brightness(32, 32), 0);
    session.levelTime = 0.0f;
}

TEST_F(WorldPass, FirstDrawTakesItsRandomValuesInOrder)
{
    gameRandom().randState = 777;
    Lcg replay{777};
    countPolygons();

    auto coordinate = [&] { return (static_cast<float>(replay.next()) - 16383.5f) * 0.1f; };
    auto unit = [&] { return static_cast<float>(replay.next()) * 3.0518509e-05f; };
    for (int k = 0; k < skySpriteCount; ++k) {
        const float y = coordinate(), x = coordinate(), z = coordinate();
        const float g = unit(), r = unit(), b = unit();
        if (k == 0 || k == 4321 || k == skySpriteCount - 1) {
            EXPECT_EQ(skyPositions[k].x, x) << k;
            EXPECT_EQ(skyPositions[k].y, y) << k;
            EXPECT_EQ(skyPositions[k].z, z) << k;
            EXPECT_EQ(skyPositions[k].w, 0.0f) << k;
            EXPECT_EQ(skyColours[k].r, r) << k;
            EXPECT_EQ(skyColours[k].g, g) << k;
            EXPECT_EQ(skyColours[k].b, b) << k;
            EXPECT_EQ(skyColours[k].a, 0.0f) << k;
        }
        EXPECT_LE(std::fabs(skyPositions[k].x), 1638.35f);
    }
    for (int i = 0; i < miniGlobeCount; ++i) {
        const float first = unit(), second = unit(), third = unit();
        EXPECT_EQ(miniGlobes[i].randomValues.x, third) << i;
        EXPECT_EQ(miniGlobes[i].randomValues.y, second) << i;
        EXPECT_EQ(miniGlobes[i].randomValues.z, first) << i;
        EXPECT_EQ(miniGlobes[i].randomValues.w, 0.0f) << i;
    }
    EXPECT_EQ(gameRandom().randState, replay.state);  // 60300 draws, no more

    const std::uint32_t before = gameRandom().randState;
    countPolygons();
    EXPECT_EQ(gameRandom().randState, before);  // later frames draw nothing
}

TEST_F(WorldPass, MovesAndFadesOnlyTheCountedParticles)
{
    for (int j = 0; j < 3; ++j) {
        world.particles[j] = Particle{};
        world.particles[j].colour = Colour{1.0f, 1.0f, 1.0f, 0.0f};
        world.particles[j].velocity = Vector4{1.0f, 0.0f, 0.0f, 0.0f};
    }
    countPolygons();  // particleCount 0: nothing moves
    EXPECT_EQ(world.particles[0].position.x, 0.0f);
    EXPECT_EQ(world.particles[0].colour.r, 1.0f);

    world.particleCount = 2;
    const int withTwo = countPolygons();
    world.particleCount = 0;
    const int withNone = countPolygons();
    EXPECT_EQ(withTwo - withNone, 4);
    EXPECT_EQ(world.particles[0].position.x, 1.0f);
    EXPECT_EQ(world.particles[1].position.x, 1.0f);
    EXPECT_FLOAT_EQ(world.particles[1].colour.g, 0.95f);
    EXPECT_EQ(world.particles[2].position.x, 0.0f);
    EXPECT_EQ(world.particles[2].colour.g, 1.0f);
}

TEST_F(WorldPass, ShipIsDrawnLastAtItsPose)
{
    countPolygons();
    world.ship.body.position = Vector4{100.0f, 50.0f, 0.0f, 0.0f};
    world.ship.body.orientation = Matrix4{};
    rec.begin();
    drawWorld(view, world, session.levelTime, textures);
    const int floats = rec.end();
    const auto polygons = feedbackPolygons(rec, floats, half);
    ASSERT_FALSE(polygons.empty());
    // The last polygon belongs to the trapezoid: every corner near the ship.
    for (const FeedbackVertex& v : polygons.back()) {
        EXPECT_NEAR(v.x, 100.0f, 0.7f);
        EXPECT_NEAR(v.y, 50.15f, 0.3f);
        EXPECT_LE(std::fabs(v.z), 0.7f);
    }
}
