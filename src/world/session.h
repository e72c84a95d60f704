#pragma once

#include <cstdint>

#include "world/pickup.h"

// Where the game stands between the screens.
enum GameState : std::int32_t {
    Title = 0,          // the title screen is shown
    Playing = 1,        // frames of play run
    LevelComplete = 2,  // a level was cleared and the next one set up; its screen is shown
    OutOfTime = 3,      // the time ran out and the same level was set up again
};

// The game's progress: which level is played, how far through it, the flow
// between screens and the score. The game holds one for the whole run; the
// level set-up (setupLevel) and the frame's game flow change it.
//
// Reset points: the program's start gives these start values, and nothing
// resets the whole again. Each frame of the title screen sets score to 0. A
// new level (setupLevel) raises levelNumber and sets collectedCount and
// levelTime to 0. A time-out lowers levelNumber and sets the same level up
// again, which raises it back. pickupSoundCount is never reset.
struct Session {
    GameState gameState = Title;
    // One more than the pattern the level in play was placed with, 1..9 while
    // a level is played; 0 before the first, gameCompleted after the last.
    int levelNumber = 0;
    // Pickups collected on this level; 2000 at the start, so that the first
    // frame of play sets up the first level.
    int collectedCount = pickupCount;
    // The level clock: +0.1 per frame of play.
    float levelTime = 0.0f;
    // The time left over, summed over the cleared levels.
    int score = 0;
    // The primary button as the last level-complete or out-of-time frame
    // left it: those screens react to a fresh press only.
    int lastButton = 0;
    // Pickups collected since the program started.
    int pickupSoundCount = 0;
};
