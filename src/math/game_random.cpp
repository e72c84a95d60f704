#include "math/game_random.h"

std::uint32_t randState = 1;
