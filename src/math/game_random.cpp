#include "math/game_random.h"

namespace {

GameRandom sequence;

}  // namespace

GameRandom& gameRandom() { return sequence; }
