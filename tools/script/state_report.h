#pragma once

#include <cstdint>
#include <string>

// The game's state after frame number frame, as one line of JSON: the game
// flow, the ship, the controls, the particle ring, the generator, the thrust
// sound and the camera. Floats keep 9 significant digits so they read back
// exactly; a value that is not finite is written as null.
std::string gameStateJson(std::int64_t frame);
