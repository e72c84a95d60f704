#include "world/world_draw.h"

#include <GL/gl.h>

#include <algorithm>
#include <iterator>

#include "math/game_random.h"
#include "world/billboard.h"
#include "world/display_lists.h"
#include "world/globe_mesh.h"
#include "world/sprite_batch.h"
#include "world/textures.h"

int worldFirstDraw = 1;
SpritePath spritePath = SpritePath::Batched;
int worldSpritesSent = 0;
int worldSpritesCulled = 0;
int worldSpritesHidden = 0;

namespace {

constexpr int globeDepth = 4;

// Compiles the earth and moon lists, fills the sky and numbers the small
// globes' lists. Every random draw here happens in a fixed order, which decides the
// colours every later level gets.
void compileWorld(const Textures& textures)
{
    const Colour opaqueWhite{1.0f, 1.0f, 1.0f, 1.0f};

    glBindTexture(GL_TEXTURE_2D, textures[earthTexture]);
    worldFirstDraw = 0;
    globe.build(10.0f, Vector4{0.0f, 0.0f, 0.0f, 0.0f});
    glNewList(earthGlobeList, GL_COMPILE);
    globe.draw(opaqueWhite, globeDepth);
    glEndList();

    // The moon reuses the globe (and so the earth's height map).
    globe.build(1.0f, Vector4{15.0f, 0.0f, 0.0f, 0.0f});
    glBindTexture(GL_TEXTURE_2D, textures[moonTexture]);
    glNewList(moonGlobeList, GL_COMPILE);
    globe.draw(opaqueWhite, globeDepth);
    glEndList();

    for (int k = 0; k < skySpriteCount; ++k) {
        Vector4& p = skyPositions[k];
        p.y = (static_cast<float>(gameRand()) - 16383.5f) * 0.1f;
        p.x = (static_cast<float>(gameRand()) - 16383.5f) * 0.1f;
        p.z = (static_cast<float>(gameRand()) - 16383.5f) * 0.1f;
        Colour& c = skyColours[k];
        c.g = randomUnit();
        c.r = randomUnit();
        c.b = randomUnit();
    }

    // The small globes get their list numbers now; their lists wait for
    // miniGlobeList, since nothing draws them. They are kept for their 300
    // random draws: without them every later level's colours would change.
    for (int i = 0; i < miniGlobeCount; ++i) {
        MiniGlobe& mini = miniGlobes[i];
        mini.displayList = static_cast<int>(firstMiniGlobeList) + i;
        const float first = randomUnit();
        const float second = randomUnit();
        const float third = randomUnit();
        mini.randomValues = Vector4{third, second, first, 0.0f};
    }
}

// The globe turns with the level clock and the moon circles five times as fast.
void drawGlobes(float levelTime, const Textures& textures)
{
    Matrix4 earthSpin;
    earthSpin.setRotationY(levelTime * 0.01f);
    glPushMatrix();
    glMultMatrixf(earthSpin.m);
    glBindTexture(GL_TEXTURE_2D, textures[earthTexture]);
    glCallList(earthGlobeList);
    glPopMatrix();

    Matrix4 moonSpin;
    moonSpin.setRotationY(levelTime * 0.05f);
    glPushMatrix();
    glMultMatrixf(moonSpin.m);
    glBindTexture(GL_TEXTURE_2D, textures[moonTexture]);
    glCallList(moonGlobeList);
    glPopMatrix();

    glEnable(GL_CULL_FACE);
}

// A single trapezoid, narrow at the nose (−z) and tilted up at the tail.
void drawShip(const Ship& ship)
{
    glMatrixMode(GL_MODELVIEW);
    Matrix4 m = ship.body.orientation;
    m.transpose();
    m.setTranslation(ship.body.position.x, ship.body.position.y, ship.body.position.z);
    glPushMatrix();
    glMultMatrixf(m.m);
    glBegin(GL_QUAD_STRIP);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glTexCoord2f(0.4f, 0.0f);
    glVertex3f(0.12f, 0.0f, -0.12f);
    glTexCoord2f(0.6f, 0.0f);
    glVertex3f(-0.12f, 0.0f, -0.12f);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(0.6f, 0.3f, 0.6f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(-0.6f, 0.3f, 0.6f);
    glEnd();
    glPopMatrix();
}

}  // namespace

float* globeHeightMap() { return globe.heightMap; }

void captureScenery(Scenery& into)
{
    into.worldFirstDraw = worldFirstDraw;
    std::copy(std::begin(skyPositions), std::end(skyPositions), into.skyPositions);
    std::copy(std::begin(skyColours), std::end(skyColours), into.skyColours);
    for (int i = 0; i < miniGlobeCount; ++i) {
        into.miniGlobeValues[i] = miniGlobes[i].randomValues;
    }
}

void restoreScenery(const Scenery& from)
{
    worldFirstDraw = from.worldFirstDraw;
    std::copy(std::begin(from.skyPositions), std::end(from.skyPositions), skyPositions);
    std::copy(std::begin(from.skyColours), std::end(from.skyColours), skyColours);
    for (int i = 0; i < miniGlobeCount; ++i) {
        miniGlobes[i].randomValues = from.miniGlobeValues[i];
    }
}

unsigned int miniGlobeList(int index)
{
    if (index < 0 || index >= miniGlobeCount) {
        return 0;
    }
    const GLuint list = firstMiniGlobeList + static_cast<GLuint>(index);
    if (glIsList(list) == GL_FALSE) {
        glNewList(list, GL_COMPILE);
        miniGlobes[index].mesh.draw(Colour{1.0f, 1.0f, 1.0f, 0.0f}, 0);
        glEndList();
    }
    return list;
}

namespace {

// The world pass. Given `moving` (the same world), the sparks fade and move
// as they are drawn; without it they are drawn as they are.
void drawWorldPass(const View& view, const World& world, World* moving, float levelTime,
                   const Textures& textures)
{
    const Matrix4& facing = view.orientation;
    const Billboard billboard;

    glEnable(GL_TEXTURE_2D);
    const bool globeDrawn = worldFirstDraw == 0;
    if (!globeDrawn) {
        // The globe is not drawn on this frame and culling stays as it was.
        compileWorld(textures);
    } else {
        drawGlobes(levelTime, textures);
    }

    // Glow, sky, particles and pickups: unlit, additive, depth-tested but not
    // depth-writing, so they hide behind the globe but not behind each other.
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glBindTexture(GL_TEXTURE_2D, textures[particleTexture]);
    billboard.draw(Vector4{0.0f, 0.0f, -2000.0f, 0.0f}, 500.0f, 500.0f, facing, 1.0f, 1.0f, 1.0f);

    glDepthMask(GL_FALSE);
    glShadeModel(GL_FLAT);

    // Each group goes to GL in one call when batched.
    const bool batched = spritePath == SpritePath::Batched;
    worldSpritesSent = 0;
    worldSpritesCulled = 0;
    worldSpritesHidden = 0;
    const auto tally = [](const SpriteBatch& group) {
        worldSpritesSent += group.sent();
        worldSpritesCulled += group.culled();
        worldSpritesHidden += group.hidden();
    };
    {
        SpriteBatch sky(batched, view, globeDrawn);
        for (int k = 0; k < skySpriteCount; ++k) {
            const Colour& c = skyColours[k];
            billboard.draw(skyPositions[k], 10.0f, 10.0f, facing, c.r, c.g, c.b);
        }
        sky.flush();
        tally(sky);
    }
    {
        SpriteBatch sparks(batched, view, globeDrawn);
        for (int j = 0; j < world.particleCount; ++j) {
            if (moving != nullptr) {
                moving->particles[j].draw(facing);
                moving->particles[j].move();
            } else {
                world.particles[j].drawStill(facing);
            }
        }
        sparks.flush();
        tally(sparks);
    }
    {
        SpriteBatch lights(batched, view, globeDrawn);
        for (const Pickup& p : world.pickups) {
            p.draw(facing);
        }
        lights.flush();
        tally(lights);
    }

    // The ship is lit and alpha-blended, and does not write depth either.
    glBindTexture(GL_TEXTURE_2D, textures[shipTexture]);
    glEnable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    drawShip(world.ship);

    glDisable(GL_BLEND);
    glShadeModel(GL_SMOOTH);
    glDepthMask(GL_TRUE);
    glEnable(GL_LIGHTING);
    glDisable(GL_BLEND);
}

}  // namespace

void drawWorld(const View& view, World& world, float levelTime, const Textures& textures)
{
    drawWorldPass(view, world, &world, levelTime, textures);
}

void drawStillWorld(const View& view, const World& world, float levelTime, const Textures& textures)
{
    if (worldFirstDraw != 0) {
        return;  // the first draw fills the sky: not for a frame that changes nothing
    }
    drawWorldPass(view, world, nullptr, levelTime, textures);
}
