#pragma once

#include <cstdint>

#include "audio/game_sounds.h"
#include "game/game_data.h"
#include "input/joystick.h"
#include "world/world_draw.h"

// Everything the game changes as it plays, outside GL: its own data, the
// records it shares (the random sequence, the controller record, the
// engine's level, the player's volume and music) and what the first world
// draw made (the sky, the small
// globes' random values, whether it has happened yet). This is the one list
// of the game's state: the runner prints its state lines from a snapshot,
// the tests start every game from a fresh one (a default snapshot holds the
// start values) and the benchmark captures one and restores it to draw the
// same stretch of play again. A new field of the game's state belongs here.
struct GameSnapshot {
    GameData data;
    std::uint32_t randState = 1;
    Controller controller;
    int thrustLevel = 0;
    int masterVolume = maxMasterVolume;
    bool musicOn = true;
    Scenery scenery;

    // Copies the game's state into this snapshot.
    void capture(const GameData& game);
    // Puts it back.
    void restore(GameData& game) const;
};

// A checksum of what decides the game from here on: the session, the world
// in play, the camera, the controls' values, the controller record, the
// random state and the engine's level. The player's comfort (pause, volume,
// music, notices) and what the rendering set-up made are left out: a game
// paused, or played louder, is the same game. Replays carry it every 60
// frames, so that a replay that goes its own way is caught where it does.
std::uint64_t stateChecksum(const GameData& game);
