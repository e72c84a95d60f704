#include "game_snapshot.h"

#include <algorithm>
#include <iterator>

#include "game/camera.h"
#include "game/controls.h"
#include "math/game_random.h"
#include "world/level.h"

GameSnapshot* GameSnapshot::capture()
{
    auto* s = new GameSnapshot;
    s->ship = ::ship;
    s->cameraMatrix = ::cameraMatrix;
    s->cameraPosition = ::cameraPosition;
    std::copy(std::begin(::pickups), std::end(::pickups), s->pickups);
    std::copy(std::begin(::particles), std::end(::particles), s->particles);
    s->particleHead = ::particleHead;
    s->particleCount = ::particleCount;
    s->levelNumber = ::levelNumber;
    s->collectedCount = ::collectedCount;
    s->levelTime = ::levelTime;
    s->gameState = ::gameState;
    s->score = ::score;
    s->lastButton = ::lastButton;
    s->pickupSoundCount = ::pickupSoundCount;
    s->joystickState = ::joystickState;
    s->joystickUsable = ::joystickUsable;
    s->keyForward = ::keyForward;
    s->keyTurn = ::keyTurn;
    s->keyButton = ::keyButton;
    s->leftButtonDown = ::leftButtonDown;
    s->randState = ::randState;
    s->worldFirstDraw = ::worldFirstDraw;
    std::copy(std::begin(::skyPositions), std::end(::skyPositions), s->skyPositions);
    std::copy(std::begin(::skyColours), std::end(::skyColours), s->skyColours);
    for (int i = 0; i < miniGlobeCount; ++i) {
        s->miniGlobeValues[i] = ::miniGlobes[i].randomValues;
    }
    return s;
}

void GameSnapshot::restore() const
{
    ::ship = ship;
    ::cameraMatrix = cameraMatrix;
    ::cameraPosition = cameraPosition;
    std::copy(std::begin(pickups), std::end(pickups), ::pickups);
    std::copy(std::begin(particles), std::end(particles), ::particles);
    ::particleHead = particleHead;
    ::particleCount = particleCount;
    ::levelNumber = levelNumber;
    ::collectedCount = collectedCount;
    ::levelTime = levelTime;
    ::gameState = gameState;
    ::score = score;
    ::lastButton = lastButton;
    ::pickupSoundCount = pickupSoundCount;
    ::joystickState = joystickState;
    ::joystickUsable = joystickUsable;
    ::keyForward = keyForward;
    ::keyTurn = keyTurn;
    ::keyButton = keyButton;
    ::leftButtonDown = leftButtonDown;
    ::randState = randState;
    ::worldFirstDraw = worldFirstDraw;
    std::copy(std::begin(skyPositions), std::end(skyPositions), ::skyPositions);
    std::copy(std::begin(skyColours), std::end(skyColours), ::skyColours);
    for (int i = 0; i < miniGlobeCount; ++i) {
        ::miniGlobes[i].randomValues = miniGlobeValues[i];
    }
}
