#include "level_start.h"

#include "world/level.h"

void startAtLevel(GameData& game, int n)
{
    Session& session = game.session;
    for (Pickup& p : game.world.pickups) {
        p.position = Vector4{};
        p.velocity = Vector4{};
    }
    session.gameState = LevelComplete;
    // As in a game, where play started with lastButton at 1: a button still
    // held has to be let go of before the screen takes a press.
    session.lastButton = 1;
    session.levelNumber = n - 1;
    setupLevel(n - 1, session, game.world);
}
