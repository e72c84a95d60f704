#pragma once

#include "game/game_data.h"
#include "input/joystick.h"

// One full screen frame each, drawn by the frame in place of a frame of play:
// the camera pass clears the picture, then blue text and numbers are drawn in
// screen space; each pops the matrix the frame pushed. The title,
// level-complete and out-of-time screens answer whether the primary button is
// pressed: what follows is the game flow's to decide (game/game_flow.h). The
// final screen ignores input. Numbers take the line width the in-play clock
// left (10); on the out-of-time and final screens they take the colour of
// the letters drawn before them, as no colour is set for them.
bool drawTitleScreen(GameData& game, const Controller& controller);
bool drawNextLevelScreen(GameData& game, const Controller& controller);
bool drawOutOfTimeScreen(GameData& game, const Controller& controller);
void drawFinalScreen(GameData& game);
