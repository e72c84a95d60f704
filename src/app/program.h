#pragma once

#include "app/game.h"
#include "app/host.h"

// The whole program over a host: creates and shows the
// window that plays the game, opens the joystick and runs the message loop;
// when the loop ends, closes the sounds and the sound device. Returns the exit
// code, 1 in every case.
int runGame(Host& host, Game& game);
