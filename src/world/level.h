#pragma once

#include "world/session.h"
#include "world/world.h"

// The levels: levelNumber n (1..levelCount) is played on the pickups placed
// by pattern n − 1 and must be cleared before levelTime passes its limit.
inline constexpr int levelCount = 9;
// levelNumber once the last level has been cleared: the final screen.
inline constexpr int gameCompleted = levelCount + 1;
// By levelNumber; entry 0 is never read. levelTime counts 0.1 a frame, so a
// limit of 500 is 5000 frames of play.
inline constexpr int levelTimeLimits[levelCount + 1] = {
    0,
    500,  // 1: a ring round the equator
    250,  // 2: a figure-of-eight band
    250,  // 3: a ring falling to the south pole
    600,  // 4: a shell drifting toward +z
    700,  // 5: a still spiral over the globe
    200,  // 6: two revolving rings
    950,  // 7: a stretching ring
    150,  // 8: a ring drifting to one pole
    700,  // 9: four rings drifting apart
};

// Sets up the level placed by `pattern`: moves the ship to (0, 20, 0) with an
// identity orientation (its velocities carry over), resets levelTime, places
// the 2000 pickups by the pattern (0..levelCount − 1) with random colours
// (any other pattern leaves them as they are), then increments levelNumber
// and clears collectedCount.
void setupLevel(int pattern, Session& session, World& world);
