#pragma once

#include "game/game_data.h"

// One frame, on every paint: a screen, or a frame of play.
void runFrame(GameData& game);
