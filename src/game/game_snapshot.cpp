#include "game/game_snapshot.h"

#include "audio/game_sounds.h"
#include "math/game_random.h"

void GameSnapshot::capture(const GameData& game)
{
    data = game;
    randState = gameRandom().randState;
    controller = gameController;
    thrustLevel = gameAudio.thrustLevel;
    captureScenery(scenery);
}

void GameSnapshot::restore(GameData& game) const
{
    game = data;
    gameRandom().randState = randState;
    gameController = controller;
    gameAudio.thrustLevel = thrustLevel;
    restoreScenery(scenery);
}
