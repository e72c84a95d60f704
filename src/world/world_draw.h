#pragma once

#include "math/vector4.h"
#include "world/colour.h"
#include "world/globe_mesh.h"
#include "world/textures.h"
#include "world/view.h"
#include "world/world.h"

extern int worldFirstDraw;  // 1 until the first world draw has compiled the lists

// How the world pass hands its sky, particle and pickup sprites to GL. Batched
// (the game's way) leaves out sprites that cannot reach the screen and sends
// each group in one call; OneByOne draws every sprite with its own strip. The
// pixels are the same either way.
enum class SpritePath { Batched, OneByOne };
extern SpritePath spritePath;  // starts Batched

// Sprites of the sky, particle and pickup groups that the last world pass
// sent to GL and that it left out as unseen (0 when drawn one by one).
extern int worldSpritesSent;
extern int worldSpritesCulled;
extern int worldSpritesHidden;  // of the culled, those the globe hides

// The world pass of a frame of play, inside the camera's transform: globe,
// moon, glow, sky, the world's particles (drawn and moved), pickups and ship.
// view is what the camera pass loaded into GL: its orientation turns the
// sprites toward the viewer and its matrices tell the sprite batches what
// can reach the screen. The globe turns with the level clock. The first call
// compiles the globe and moon lists and fills the sky instead of drawing the
// globe.
void drawWorld(const View& view, World& world, float levelTime, const Textures& textures);

// The same picture with nothing in it changed: the sparks neither fade nor
// move (a paused frame). Draws nothing before the first world draw.
void drawStillWorld(const View& view, const World& world, float levelTime, const Textures& textures);

// The sky of 10000 sprites, filled by the first world draw.
constexpr int skySpriteCount = 10000;
extern Vector4 skyPositions[skySpriteCount];
extern Colour skyColours[skySpriteCount];

// The height map of the globe the first world draw builds: the earth image
// fills it while it loads (512 × 512 texel brightnesses, R + G + B).
float* globeHeightMap();

// What the first world draw made from the random sequence and whether it
// has happened yet: the sky, and the hidden small globes' random values.
// Nothing changes them later, so a snapshot of the game copies them once.
struct Scenery {
    int worldFirstDraw = 1;
    Vector4 skyPositions[skySpriteCount];
    Colour skyColours[skySpriteCount];
    Vector4 miniGlobeValues[miniGlobeCount];
};
void captureScenery(Scenery& into);
void restoreScenery(const Scenery& from);

// The list of small globe index (10 + index), compiled the first time it is
// asked for: the first world draw only numbers these lists, as nothing draws
// them, and a hundred lists would cost memory and start-up time for nothing.
// 0 for an index outside the table.
unsigned int miniGlobeList(int index);
