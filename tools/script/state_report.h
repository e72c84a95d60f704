#pragma once

#include <cstdint>
#include <string>

#include "game/game_snapshot.h"

// The game's state after frame number frame, as one line of JSON: the game
// flow, the ship, the controls, the particle ring, the generator, the thrust
// sound and the camera. Floats keep 9 significant digits so they read back
// exactly; a value that is not finite is written as null.
std::string gameStateJson(std::int64_t frame, const GameSnapshot& state);

// What a long run watches, as one line of JSON: the frame, the game flow,
// the resident memory in KiB and the number of live texture names.
struct RunnerStats {
    std::int64_t frame = 0;
    int gameState = 0;
    int levelNumber = 0;
    long long residentKiB = -1;  // -1 when it cannot be read
    int textureNames = 0;
};
std::string runnerStatsJson(const RunnerStats& s);

// The process's resident memory (VmRSS) in KiB, read from the given status
// file in /proc's format; -1 when it cannot be read or holds no VmRSS line.
long long residentKiB(const char* statusPath = "/proc/self/status");
