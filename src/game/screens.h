#pragma once

// One full screen frame each, drawn by runFrame in place of a frame of play.
void drawTitleScreen();
void drawNextLevelScreen();
void drawOutOfTimeScreen();
void drawFinalScreen();
