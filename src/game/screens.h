#pragma once

// One full screen frame each, drawn by runFrame in place of a frame of play;
// each pops the matrix the frame pushed. The title, level-complete and
// out-of-time screens answer whether the primary button is pressed: what
// follows is the frame driver's to decide. The final screen ignores input.
bool drawTitleScreen();
bool drawNextLevelScreen(int score);
bool drawOutOfTimeScreen(int score);
void drawFinalScreen(int score);
