#include "autopilot.h"

#include <cmath>

#include "physics/ship.h"
#include "world/level.h"

namespace {

constexpr float shellRadius = 15.0f;
// Within this angle either side of the nose the autopilot flies straight on,
// so that it does not rock from side to side on a pickup just ahead.
const float aimTolerance = std::tan(4.0f * 3.14159265f / 180.0f);
// W is held only for a pickup within this angle of the nose. Coasting, the
// ship loses a tenth of its speed a frame and turns nearly on the spot rather
// than circling round a pickup inside its turning circle.
const float thrustTolerance = std::tan(25.0f * 3.14159265f / 180.0f);

Vector4 onShell(Vector4 v)
{
    v.normalize();
    v.scale(shellRadius);
    return v;
}

// The nearest pickup not yet collected, compared by direction from the
// globe's centre as the game compares them. Collected pickups sit at the
// origin. Null when none is left.
const Pickup* nearestPickup(const AutopilotView& view)
{
    const Vector4 ship = onShell(view.shipPosition);
    const Pickup* best = nullptr;
    float bestDistance = 0.0f;
    for (int i = 0; i < view.pickupCount; ++i) {
        const Pickup& p = view.pickups[i];
        if (p.position.lengthSquared() < 1e-6f) {
            continue;
        }
        Vector4 d = onShell(p.position);
        d.subtract(ship);
        const float distance = d.lengthSquared();
        if (best == nullptr || distance < bestDistance) {
            best = &p;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace

AutopilotView autopilotViewOfGame()
{
    AutopilotView view;
    view.gameState = gameState;
    view.levelNumber = levelNumber;
    view.lastButton = lastButton;
    view.shipPosition = ship.body.position;
    view.shipOrientation = ship.body.orientation;
    view.pickups = pickups;
    view.pickupCount = pickupCount;
    return view;
}

bool autopilotSeesScreen(GameState state, int level)
{
    if (state == Title || level == 10) {
        return true;
    }
    if (state == LevelComplete) {
        return level != 1;  // the first level starts without a screen
    }
    return state == OutOfTime;
}

AutopilotKeys autopilotKeys(const AutopilotView& view)
{
    AutopilotKeys keys;
    if (autopilotSeesScreen(view.gameState, view.levelNumber)) {
        // The level-complete and out-of-time screens move on only on a fresh
        // press: a button they saw held is let go first. Going by what the
        // screen saw rather than by a fixed rhythm matters because the loop
        // runs two frames per turn and takes one message a turn, so a
        // release and the next press can land between the same two frames.
        keys.space = view.gameState == Title || view.lastButton == 0;
        return keys;
    }

    const Pickup* target = nearestPickup(view);
    if (target == nullptr) {
        keys.w = true;
        return keys;
    }

    // A positive turn input swings row2 toward row0, so the nose (−row2)
    // toward −row0. D gives a positive input and A a negative one: A turns
    // the nose toward +row0, D toward −row0.
    Vector4 toTarget = target->position;
    toTarget.subtract(view.shipPosition);
    const float side = toTarget.dot(view.shipOrientation.row0());
    const float ahead = -toTarget.dot(view.shipOrientation.row2());
    keys.w = ahead > 0.0f && std::fabs(side) <= ahead * thrustTolerance;
    if (ahead > 0.0f && std::fabs(side) <= ahead * aimTolerance) {
        return keys;
    }
    if (side >= 0.0f) {
        keys.a = true;
    } else {
        keys.d = true;
    }
    return keys;
}
