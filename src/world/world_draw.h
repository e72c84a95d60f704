#pragma once

#include "math/vector4.h"
#include "world/colour.h"
#include "world/view.h"

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
// moon, glow, sky, particles (drawn and moved), pickups and ship. view is
// what the camera pass loaded into GL: its orientation turns the sprites
// toward the viewer and its matrices tell the sprite batches what can reach
// the screen. The first call compiles the globe and moon lists and fills the
// sky instead of drawing the globe.
void drawWorld(const View& view);

// The sky of 10000 sprites, filled by the first world draw.
constexpr int skySpriteCount = 10000;
extern Vector4 skyPositions[skySpriteCount];
extern Colour skyColours[skySpriteCount];

// The list of small globe index (10 + index), compiled the first time it is
// asked for: the first world draw only numbers these lists, as nothing draws
// them, and a hundred lists would cost memory and start-up time for nothing.
// 0 for an index outside the table.
unsigned int miniGlobeList(int index);
