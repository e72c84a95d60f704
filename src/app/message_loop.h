#pragma once

#include "app/host.h"

// The game's main loop. Each turn dispatches the message taken in the
// previous turn again, polls the joystick, and takes and dispatches at most one
// new message; wmQuit ends it. Returns the program's exit code, 1.
int runMessageLoop(Host& host);
