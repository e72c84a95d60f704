#include "game/game_snapshot.h"

#include <cstring>

#include "audio/game_sounds.h"
#include "game/fnv1a.h"
#include "math/game_random.h"

void GameSnapshot::capture(const GameData& game)
{
    data = game;
    randState = gameRandom().randState;
    controller = gameController;
    thrustLevel = gameAudio.thrustLevel;
    masterVolume = gameAudio.masterVolume;
    musicOn = gameAudio.musicOn;
    captureScenery(scenery);
}

void GameSnapshot::restore(GameData& game) const
{
    game = data;
    gameRandom().randState = randState;
    gameController = controller;
    gameAudio.thrustLevel = thrustLevel;
    // The volume and music are the player's choice: they go back to the
    // device as set.
    setMasterVolume(gameAudio, masterVolume);
    setMusicOn(gameAudio, musicOn);
    restoreScenery(scenery);
}

namespace {

// FNV-1a over the bytes of each value (floats by their bit patterns).
class Checksum {
public:
    template <typename T>
    void add(T value)
    {
        unsigned char bytes[sizeof value];
        std::memcpy(bytes, &value, sizeof value);
        fnv1aMix(hash_, bytes, sizeof bytes);
    }
    void add(const Vector4& v)
    {
        add(v.x);
        add(v.y);
        add(v.z);
        add(v.w);
    }
    void add(const Colour& c)
    {
        add(c.r);
        add(c.g);
        add(c.b);
        add(c.a);
    }
    void add(const Matrix4& m)
    {
        for (float f : m.m) {
            add(f);
        }
    }
    std::uint64_t value() const { return hash_; }

private:
    std::uint64_t hash_ = fnv1aStart;
};

}  // namespace

std::uint64_t stateChecksum(const GameData& game)
{
    Checksum c;
    const Session& s = game.session;
    c.add(static_cast<std::int32_t>(s.gameState));
    c.add(s.levelNumber);
    c.add(s.collectedCount);
    c.add(s.levelTime);
    c.add(s.score);
    c.add(s.lastButton);
    c.add(s.pickupSoundCount);
    const World& w = game.world;
    for (const Pickup& p : w.pickups) {
        c.add(p.position);
        c.add(p.velocity);
        c.add(p.colour);
    }
    for (const Particle& p : w.particles) {
        c.add(p.colour);
        c.add(p.position);
        c.add(p.velocity);
        c.add(p.size);
    }
    c.add(w.particleHead);
    c.add(w.particleCount);
    c.add(w.ship.thrustInput);
    c.add(w.ship.turnInput);
    c.add(w.ship.body.position);
    c.add(w.ship.body.velocity);
    c.add(w.ship.body.angularVelocity);
    c.add(w.ship.body.orientation);
    c.add(game.camera.cameraMatrix);
    c.add(game.camera.cameraPosition);
    c.add(game.controls.keyForward);
    c.add(game.controls.keyTurn);
    c.add(game.controls.keyButton);
    const JoystickState& pad = gameController.joystickState;
    c.add(pad.lX);
    c.add(pad.rgbButtons[0]);
    c.add(pad.rgbButtons[1]);
    c.add(gameController.joystickUsable);
    c.add(gameRandom().randState);
    c.add(gameAudio.thrustLevel);
    return c.value();
}
