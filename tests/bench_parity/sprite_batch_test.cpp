#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "feedback_vertices.h"
#include "world/billboard.h"
#include "world/globe_shadow.h"
#include "world/sprite_batch.h"
#include "world/view_volume.h"

namespace {

// The game's projection: z is kept and w = 1.3 z + 1.
struct GameProjection {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1.3f, 0, 0, 0, 1};
};

constexpr float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

Vector4 at(float x, float y, float z) { return Vector4{x, y, z, 0.0f}; }

}  // namespace

TEST(ViewVolume, KeepsWhatTheGameProjectionCanShowAndDropsTheRest)
{
    const GameProjection p;
    const ViewVolume volume(identity, p.m);

    // At eye z = 10, w = 14: the sides are at x, y = ±14.
    EXPECT_TRUE(volume.mayShow(at(0, 0, 10), 0.5f));
    EXPECT_TRUE(volume.mayShow(at(13.9f, -13.9f, 10), 0.01f));
    // The side planes lean outward with depth: a ball whose centre is 1.5
    // beyond x = 14 still reaches inside with radius 1, but not from 2 beyond.
    EXPECT_TRUE(volume.mayShow(at(15.5f, 0, 10), 1.0f));
    EXPECT_FALSE(volume.mayShow(at(16.0f, 0, 10), 1.0f));
    EXPECT_FALSE(volume.mayShow(at(-16.0f, 0, 10), 1.0f));
    EXPECT_FALSE(volume.mayShow(at(0, 16.0f, 10), 1.0f));
    EXPECT_FALSE(volume.mayShow(at(0, -16.0f, 10), 1.0f));

    // The near plane w + z = 0 lies at eye z = −1/2.3 ≈ −0.435.
    EXPECT_TRUE(volume.mayShow(at(0, 0, -0.4f), 0.01f));
    EXPECT_TRUE(volume.mayShow(at(0, 0, -0.5f), 0.1f));  // straddles it
    EXPECT_FALSE(volume.mayShow(at(0, 0, -0.5f), 0.02f));
    EXPECT_FALSE(volume.mayShow(at(0, 0, -1000.0f), 10.0f));  // well behind the viewer

    // There is no far plane within reach: w − z = 0.3 z + 1 grows with z.
    EXPECT_TRUE(volume.mayShow(at(0, 0, 1e6f), 1.0f));

    // A position that is not a number is never dropped.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(volume.mayShow(at(nan, 0, 10), 1.0f));
}

TEST(ViewVolume, FollowsTheModelviewAndTheDefaultShowsEverything)
{
    const GameProjection p;
    // The eye at world z = 50, turned half a turn about y: eye z = 50 − world z.
    float modelview[16] = {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 50, 1};
    const ViewVolume volume(modelview, p.m);
    EXPECT_TRUE(volume.mayShow(at(0, 0, 40), 0.5f));   // eye z 10
    EXPECT_FALSE(volume.mayShow(at(0, 0, 60), 0.5f));  // eye z −10
    // Eye x is minus world x: world x = −17 at eye z 10 lies beyond the right
    // side (x = 14), and −15.5 reaches over it.
    EXPECT_FALSE(volume.mayShow(at(-17.0f, 0, 40), 1.0f));
    EXPECT_TRUE(volume.mayShow(at(-15.5f, 0, 40), 1.0f));

    const ViewVolume everything;
    EXPECT_TRUE(everything.mayShow(at(0, 0, -1e6f), 1.0f));
}

namespace {

class SpriteGroups : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(gl.ok()); }

    // Feedback of the given draw, as raw floats.
    std::vector<GLfloat> record(auto draw)
    {
        rec.begin();
        draw();
        const int floats = rec.end();
        EXPECT_GE(floats, 0) << "feedback buffer too small";
        return {rec.buffer().begin(), rec.buffer().begin() + std::max(floats, 0)};
    }

    OffscreenGl gl;
    FeedbackRecorder rec{1 << 22};
    Billboard billboard;
};

// A turned view, so that right and up are not the axes.
Matrix4 turnedView()
{
    Matrix4 view;
    view.setRotationY(0.4f);
    Matrix4 tilt;
    tilt.setRotationX(-0.7f);
    view.multiply(tilt);
    return view;
}

struct Sprite {
    Vector4 position;
    float h, v, r, g, b;
};

std::vector<Sprite> spriteField(int count)
{
    std::vector<Sprite> sprites;
    for (int k = 0; k < count; ++k) {
        const float t = static_cast<float>(k);
        sprites.push_back({at(std::sin(t * 1.7f) * 80.0f, std::cos(t * 0.9f) * 80.0f, std::sin(t * 0.3f) * 60.0f),
                           0.5f + static_cast<float>(k % 7), 0.5f + static_cast<float>(k % 5),
                           static_cast<float>(k % 3) * 0.5f, static_cast<float>(k % 11) / 10.0f, 0.25f});
    }
    return sprites;
}

}  // namespace

TEST_F(SpriteGroups, BatchSendsTheTrianglesOfEachStripInOrderAndLeavesTheSameColour)
{
    useWorldProjection(64);  // the field reaches past ±64, so some sprites are dropped
    const Matrix4 view = turnedView();
    const std::vector<Sprite> sprites = spriteField(300);

    GLfloat colourOneByOne[4];
    GLfloat texOneByOne[4];
    const std::vector<GLfloat> oneByOne = record([&] {
        for (const Sprite& s : sprites) {
            billboard.draw(s.position, s.h, s.v, view, s.r, s.g, s.b);
        }
    });
    glGetFloatv(GL_CURRENT_COLOR, colourOneByOne);
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, texOneByOne);

    glColor4f(0.1f, 0.2f, 0.3f, 0.4f);
    glTexCoord2f(0.5f, 0.5f);
    int sent = 0;
    int culled = 0;
    const std::vector<GLfloat> batched = record([&] {
        SpriteBatch batch(true, currentView());
        for (const Sprite& s : sprites) {
            billboard.draw(s.position, s.h, s.v, view, s.r, s.g, s.b);
        }
        batch.flush();
        sent = batch.sent();
        culled = batch.culled();
    });
    EXPECT_EQ(sent + culled, 300);
    EXPECT_GT(culled, 30);
    EXPECT_GT(sent, 30);
    ASSERT_GT(oneByOne.size(), 0u);
    EXPECT_EQ(batched, oneByOne);  // same polygons, corners, colours and texture coordinates

    GLfloat colour[4];
    GLfloat tex[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, tex);
    for (int k = 0; k < 4; ++k) {
        EXPECT_FLOAT_EQ(colour[k], colourOneByOne[k]) << k;
        EXPECT_FLOAT_EQ(tex[k], texOneByOne[k]) << k;
    }
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
}

TEST_F(SpriteGroups, AFullBatchIsSentEarlyAndKeepsTheOrder)
{
    useWorldProjection(2048);  // everything inside
    const Matrix4 view = turnedView();
    const std::vector<Sprite> sprites = spriteField(SpriteBatch::capacity + 7);

    const std::vector<GLfloat> oneByOne = record([&] {
        for (const Sprite& s : sprites) {
            billboard.draw(s.position, s.h, s.v, view, s.r, s.g, s.b);
        }
    });
    int sent = 0;
    const std::vector<GLfloat> batched = record([&] {
        SpriteBatch batch(true, currentView());
        for (const Sprite& s : sprites) {
            billboard.draw(s.position, s.h, s.v, view, s.r, s.g, s.b);
        }
        batch.flush();
        sent = batch.sent();
    });
    EXPECT_EQ(sent, SpriteBatch::capacity + 7);
    EXPECT_EQ(rec.polygonCount(), 2 * (SpriteBatch::capacity + 7));
    EXPECT_EQ(batched, oneByOne);
}

TEST_F(SpriteGroups, AnOffOrSecondBatchLeavesSpritesToBeDrawnAtOnce)
{
    useWorldProjection(64);
    const Matrix4 view;
    rec.begin();
    {
        SpriteBatch off(false, currentView());
        billboard.draw(at(0, 0, 0), 1, 1, view, 1, 1, 1);
        EXPECT_EQ(off.sent() + off.culled(), 0);
    }
    rec.end();
    EXPECT_EQ(rec.polygonCount(), 2);

    rec.begin();
    {
        SpriteBatch outer(true, currentView());
        SpriteBatch inner(true, currentView());  // one batch at a time: this one stays off
        billboard.draw(at(0, 0, 0), 1, 1, view, 1, 1, 1);
        EXPECT_EQ(inner.sent() + inner.culled(), 0);
        outer.flush();
        EXPECT_EQ(outer.sent(), 1);
    }
    rec.end();
    EXPECT_EQ(rec.polygonCount(), 2);
}

// Under the game's projection and a camera-like view, every sprite the test
// drops gives no polygon at all when drawn, and most sprites that give none
// are dropped.
TEST_F(SpriteGroups, NothingDroppedWouldHaveBeenDrawn)
{
    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    const GameProjection p;
    glLoadMatrixf(p.m);
    glMatrixMode(GL_MODELVIEW);
    Matrix4 camera = turnedView();
    Matrix4 toCamera;
    toCamera.setTranslation(-3.0f, 20.0f, -5.0f);
    camera.multiply(toCamera);
    glLoadMatrixf(camera.m);
    const Matrix4 view = turnedView();
    const ViewVolume volume(camera.m, p.m);

    int dropped = 0;
    int invisible = 0;
    int droppedInvisible = 0;
    for (const Sprite& s : spriteField(3000)) {
        Vector4 right = view.row0();
        right.scale(s.h);
        Vector4 up = view.row1();
        up.scale(s.v);
        const bool kept = volume.mayShow(s.position, right.length() + up.length());
        rec.begin();
        billboard.draw(s.position, s.h, s.v, view, s.r, s.g, s.b);
        rec.end();
        const bool drawn = rec.polygonCount() > 0;
        if (!kept) {
            ++dropped;
            EXPECT_FALSE(drawn) << "sprite at " << s.position.x << ", " << s.position.y << ", " << s.position.z;
        }
        if (!drawn) {
            ++invisible;
            droppedInvisible += kept ? 0 : 1;
        }
    }
    EXPECT_GT(dropped, 300);
    EXPECT_GT(droppedInvisible, invisible * 9 / 10);
}

// The camera 21 above the globe's centre on world z, looking at it: eye z is
// 21 − world z, and the centre of projection (w = 0) lies 1/1.3 further out.
constexpr float lookingAtTheGlobe[16] = {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 21, 1};

TEST(GlobeShadow, HidesWhatLiesWhollyBehindTheGlobeFromTheCentreOfProjection)
{
    const GameProjection p;
    const GlobeShadow shadow(lookingAtTheGlobe, p.m, 9.5, 10.77);
    ASSERT_TRUE(shadow.active());

    EXPECT_TRUE(shadow.hides(at(0, 0, 0), 0.58f));       // a collected pickup, parked
    EXPECT_TRUE(shadow.hides(at(0, 0, -15), 0.58f));     // a pickup on the far side
    EXPECT_TRUE(shadow.hides(at(0, 0, -500), 14.2f));    // a light of the sky
    EXPECT_TRUE(shadow.hides(at(14, 0, -15), 0.58f));    // 21.6° off the axis
    EXPECT_FALSE(shadow.hides(at(20, 0, -15), 0.58f));   // 28.5°: past the outline (27.3°)
    EXPECT_FALSE(shadow.hides(at(0, 14, -15), 6.0f));    // reaches out of the cone
    EXPECT_FALSE(shadow.hides(at(0, 0, 12), 0.58f));     // in front of the globe
    EXPECT_FALSE(shadow.hides(at(0, 0, 10.5f), 0.58f));  // on its surface, facing the camera
    // Just beyond the hiding ball's outline (19.59 from the eye) is hidden,
    // just short of it is not.
    EXPECT_TRUE(shadow.hides(at(0, 0, 21.77f - 19.7f), 0.1f));
    EXPECT_FALSE(shadow.hides(at(0, 0, 21.77f - 19.6f), 0.1f));

    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(shadow.hides(at(nan, 0, 0), 0.58f));
    EXPECT_FALSE(GlobeShadow().hides(at(0, 0, 0), 0.58f));
}

TEST(GlobeShadow, HidesNothingUnlessTheCameraIsOutsideAndTheGlobeWhollyInView)
{
    const GameProjection p;
    // The camera 5 above the centre: inside the globe.
    const float inside[16] = {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 5, 1};
    EXPECT_FALSE(GlobeShadow(inside, p.m, 9.5, 10.77).active());
    // 21 above it but looking away: the globe lies behind the near plane.
    const float away[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -21, 1};
    EXPECT_FALSE(GlobeShadow(away, p.m, 9.5, 10.77).active());
    // 10.9 above it, just over the highest mountains: the centre of
    // projection (11.67) is not a unit clear of the globe (10.77).
    const float skimming[16] = {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 10.9f, 1};
    EXPECT_FALSE(GlobeShadow(skimming, p.m, 9.5, 10.77).active());
    // A parallel projection has no centre to see from.
    EXPECT_FALSE(GlobeShadow(lookingAtTheGlobe, identity, 9.5, 10.77).active());
}
