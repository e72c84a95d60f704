#include "game/pickup_collection.h"

#include "audio/game_sounds.h"
#include "game/sparks.h"
#include "physics/shell.h"

namespace {

constexpr float collectRadiusSquared = 0.6f;

// The chime starts again on every thirtieth collection, even while it plays,
// and otherwise only once it has fallen silent, so a quick run of
// collections does not cut it off every frame. A dense cluster can start
// several chimes in one frame; with all ten buffers busy the sound takes one
// over at random. The output's limiter keeps such stacks from clipping.
void playChime(int pickupSoundCount)
{
    Sound* chime = gameAudio.pickupSound;
    if (chime == nullptr) {
        return;
    }
    if (pickupSoundCount % 30 == 0 || !chime->isPlaying()) {
        chime->play(0, 0, -3000, 50000, 0);
    }
}

void collect(Session& session, World& world, Pickup& pickup)
{
    emitBurst(world, pickup.position);
    // Parked at the origin, whose direction is zero: never collected again.
    pickup.position = Vector4{};
    pickup.velocity = Vector4{};
    session.pickupSoundCount += 1;
    playChime(session.pickupSoundCount);
    session.collectedCount += 1;
}

}  // namespace

Vector4 onShell(Vector4 v)
{
    v.normalize();
    v.scale(shellRadius);
    return v;
}

bool withinReach(const Pickup& pickup, const Vector4& shipOnShell)
{
    Vector4 d = onShell(pickup.position);
    d.subtract(shipOnShell);
    return d.lengthSquared() < collectRadiusSquared;
}

void stepPickups(Session& session, World& world)
{
    const Vector4 shipOnShell = onShell(world.ship.body.position);
    for (Pickup& pickup : world.pickups) {
        pickup.step();
        if (withinReach(pickup, shipOnShell)) {
            collect(session, world, pickup);
        }
    }
}
