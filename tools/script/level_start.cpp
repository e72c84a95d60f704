#include "level_start.h"

#include "game/frame_driver.h"
#include "world/level.h"
#include "world/pickup.h"

void startAtLevel(int n)
{
    for (Pickup& p : pickups) {
        p.position = Vector4{};
        p.velocity = Vector4{};
    }
    gameState = LevelComplete;
    levelNumber = n - 1;
    setupLevel(n - 1);
}
