#pragma once

// Level counters and limits. While a level is played, levelNumber is one more
// than the pattern index it was placed with; 10 means the game is finished.
extern int levelNumber;      // starts at 0
extern int collectedCount;   // starts at 2000, so the first frame of play sets up pattern 0
extern float levelTime;      // +0.1 per frame of play
extern const int levelTimeLimits[10];  // indexed 1..9 by levelNumber

// Moves the ship to (0, 20, 0) with an identity orientation (its velocities
// carry over), resets levelTime, places the 2000 pickups by pattern 0..8 with
// random colours (any other pattern leaves them as they are), then increments
// levelNumber and clears collectedCount.
void setupLevel(int pattern);
