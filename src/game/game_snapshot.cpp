#include "game/game_snapshot.h"

#include "audio/game_sounds.h"
#include "math/game_random.h"

void GameSnapshot::capture(const GameData& game)
{
    data = game;
    randState = gameRandom().randState;
    controller = gameController;
    thrustLevel = gameAudio.thrustLevel;
    masterVolume = gameAudio.masterVolume;
    musicOn = gameAudio.musicOn;
    captureScenery(scenery);
}

void GameSnapshot::restore(GameData& game) const
{
    game = data;
    gameRandom().randState = randState;
    gameController = controller;
    gameAudio.thrustLevel = thrustLevel;
    // The volume and music are the player's choice: they go back to the
    // device as set.
    setMasterVolume(gameAudio, masterVolume);
    setMusicOn(gameAudio, musicOn);
    restoreScenery(scenery);
}
