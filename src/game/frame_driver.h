#pragma once

#include <cstdint>

enum GameState : std::int32_t {
    Title = 0,
    Playing = 1,
    LevelComplete = 2,
    OutOfTime = 3,
};

extern GameState gameState;
extern int score;             // time left over, summed over the completed levels
extern int lastButton;        // primary button byte as the last screen frame left it
extern int pickupSoundCount;  // pickups collected since start; never reset

// One frame: a screen, or a frame of play. Called on every paint.
void runFrame();

// Puts gameState, score, lastButton and pickupSoundCount back to their start
// values (for tests and tools that replay a game from the beginning).
void resetGameState();
