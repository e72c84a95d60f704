#pragma once

#include "game/game_data.h"

// A test aid of the runner (the game has no such command): sets the game up
// as the frame that completes level n − 1 leaves it. Every pickup counts as
// collected and lies parked at the origin, setupLevel(n − 1) places level n
// with its random colours and resets the ship's pose and the clock (the ship
// keeps its velocities), and the level-complete screen waits for a fresh
// press (for n = 1 the next frame goes straight into play, as at the start
// of a game). The score is left as it is. n is 1..levelCount.
void startAtLevel(GameData& game, int n);
