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
    // As in a game, where play started with lastButton at 1: a button still
    // held has to be let go of before the screen takes a press.
    lastButton = 1;
    levelNumber = n - 1;
    setupLevel(n - 1);
}
