#include "game/engine.h"

#include "audio/game_sounds.h"
#include "game/sparks.h"

namespace {

constexpr float forwardThrust = -1024.0f;  // toward the nose
constexpr float reverseThrust = 1024.0f;

}  // namespace

void applyThrust(World& world, const Controls& controls, const Controller& controller)
{
    Ship& ship = world.ship;
    if (primaryPressed(controller) || controls.keyForward > 0.0f) {
        ship.thrustInput = forwardThrust;
        updateThrustSound(gameAudio, true);
        emitExhaustPair(world);
    } else if (secondaryPressed(controller) || controls.keyForward < 0.0f) {
        ship.thrustInput = reverseThrust;
        updateThrustSound(gameAudio, true);
        emitExhaustPair(world);
    } else {
        ship.thrustInput = 0.0f;
        updateThrustSound(gameAudio, false);
    }
}

void quietEngine() { quietThrustSound(gameAudio); }

void muteEngine() { muteThrustSound(gameAudio); }
