#pragma once

#include "game/best_scores.h"
#include "game/camera.h"
#include "game/comfort.h"
#include "game/controls.h"
#include "game/overlay.h"
#include "world/session.h"
#include "world/textures.h"
#include "world/world.h"

// The game's own state, gathered in one place: the session (levels, screens,
// score), the world in play (ship, pickups, sparks), the player's controls,
// the pause and the notices (comfort), the chase camera, the best scores,
// and what the rendering set-up made (the textures, the display's size). A
// host holds
// one in fixed storage for the whole run and hands it to the game
// (GlimmerfallGame); the frame passes each part to the code that changes it.
// Nothing in it is allocated per frame.
//
// Besides it the game changes four records it shares with the shell and the
// lower layers, one of each: the random sequence (gameRandom(), math), the
// controller record (controller, input: the message loop polls into it), the
// sound (gameAudio, audio: the shell starts, mutes and restores it) and the
// scenery the first world draw makes (world/world_draw.h). GameSnapshot
// (game/game_snapshot.h) copies all of it.
struct GameData {
    Session session;
    World world;
    Controls controls;
    Comfort comfort;
    Camera camera;
    BestScores best;
    Textures textures;
    Display display;
};
