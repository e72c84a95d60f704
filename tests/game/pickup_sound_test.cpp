#include <cstdint>

#include "game/frame_driver.h"
#include "app/messages.h"
#include "audio/game_sounds.h"
#include "audio/sound.h"
#include "audio/sound_device.h"
#include "game_fixture.h"
#include "physics/ship.h"
#include "world/level.h"
#include "world/pickup.h"

namespace {

// A device buffer that plays nothing but remembers how it was played.
class RecordingBuffer : public SoundBuffer {
public:
    bool playing = false;
    int plays = 0;
    std::int32_t volume = 0;
    std::uint32_t frequency = 0;
    std::uint32_t flags = 99;

    HResult setFormat(const WaveFormatEx&) override { return sOk; }
    HResult play(std::uint32_t, std::uint32_t, std::uint32_t f) override
    {
        ++plays;
        flags = f;
        playing = true;
        return sOk;
    }
    HResult getStatus(std::uint32_t* status) override
    {
        *status = playing ? dsbStatusPlaying : 0;
        return sOk;
    }
    HResult setVolume(std::int32_t v) override
    {
        volume = v;
        return sOk;
    }
    HResult setFrequency(std::uint32_t f) override
    {
        frequency = f;
        return sOk;
    }
    HResult setPan(std::int32_t) override { return sOk; }
    HResult lock(std::uint32_t, std::uint32_t, void** r1, std::uint32_t* b1, void**,
                 std::uint32_t*, std::uint32_t) override
    {
        *r1 = nullptr;
        *b1 = 0;
        return sOk;
    }
    HResult unlock(void*, std::uint32_t, void*, std::uint32_t) override { return sOk; }
    HResult restore() override { return sOk; }
    void release() override {}
};

// Installs a one-buffer pickup sound for the test's lifetime.
class PickupSoundTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        SoundBuffer* list[1] = {&buffer};
        sound = new Sound(list, 1, 0, nullptr, dsbCapsCtrlVolume | dsbCapsCtrlFrequency);
        gameAudio.pickupSound = sound;
    }
    void TearDown() override
    {
        gameAudio.pickupSound = nullptr;
        gameAudio.thrustSound = nullptr;
        delete sound;
    }

    // One frame in which exactly one pickup is collected.
    void collectOne()
    {
        Vector4 p = game.world.ship.body.position;
        p.normalize();
        p.scale(15.0f);
        game.world.pickups[7].position = p;
        game.world.pickups[7].velocity = Vector4{};
        const int before = game.session.collectedCount;
        runFrame(game);
        ASSERT_EQ(game.session.collectedCount, before + 1);
    }

    RecordingBuffer buffer;
    Sound* sound = nullptr;
};

}  // namespace

// Every thirtieth collection restarts the sound even while it plays; the
// others only when it has fallen silent.
TEST_F(PickupSoundTest, EveryThirtiethCollectionAlwaysPlays)
{
    startFirstLevel();
    game.session.pickupSoundCount = 28;
    buffer.playing = true;

    collectOne();  // 29th, while playing
    EXPECT_EQ(buffer.plays, 0);
    collectOne();  // 30th
    EXPECT_EQ(buffer.plays, 1);
    EXPECT_EQ(buffer.volume, -3000);
    EXPECT_EQ(buffer.frequency, 50000u);
    EXPECT_EQ(buffer.flags, 0u);
    collectOne();  // 31st, still playing
    EXPECT_EQ(buffer.plays, 1);

    buffer.playing = false;
    collectOne();  // 32nd, silent
    EXPECT_EQ(buffer.plays, 2);
    EXPECT_EQ(game.session.pickupSoundCount, 32);

    game.session.pickupSoundCount = 59;
    collectOne();  // 60th, while playing
    EXPECT_EQ(buffer.plays, 3);
}

// A dense cluster collected in one frame starts a chime on the first
// collection (the sound was silent) and again on every thirtieth, while the
// first still plays: 95 collections, four chimes.
TEST_F(PickupSoundTest, EveryThirtiethCollectionOfOneFrameStartsAChime)
{
    startFirstLevel();
    Vector4 p = game.world.ship.body.position;
    p.normalize();
    p.scale(15.0f);
    for (int i = 0; i < 95; ++i) {
        game.world.pickups[i].position = p;
        game.world.pickups[i].velocity = Vector4{};
    }
    const int before = game.session.collectedCount;
    runFrame(game);
    ASSERT_EQ(game.session.collectedCount, before + 95);
    EXPECT_EQ(buffer.plays, 4);
}

// Without a pickup sound (its file failed to load) collecting still counts.
TEST_F(GameTest, CollectingWithoutAPickupSoundStillCounts)
{
    ASSERT_EQ(gameAudio.pickupSound, nullptr);
    startFirstLevel();
    game.session.pickupSoundCount = 29;
    Vector4 p = game.world.ship.body.position;
    p.normalize();
    p.scale(15.0f);
    game.world.pickups[3].position = p;
    runFrame(game);
    EXPECT_EQ(game.session.pickupSoundCount, 30);
    EXPECT_EQ(game.session.collectedCount, 1);
}

// The engine held into a time-out dies away on the out-of-time screen as an
// idle frame of play would, then falls silent however long W stays held; it
// is heard again only in play.
TEST_F(PickupSoundTest, ThrustLoopDiesAwayOnScreensAndReturnsOnlyInPlay)
{
    RecordingBuffer loop;
    SoundBuffer* list[1] = {&loop};
    Sound engine(list, 1, 0, nullptr, dsbCapsCtrlVolume);
    gameAudio.thrustSound = &engine;
    gameAudio.thrustLevel = 0;

    startFirstLevel();
    keyDown('W');
    for (int i = 0; i < 40; ++i) {
        runFrame(game);
    }
    EXPECT_EQ(gameAudio.thrustLevel, 3000);
    EXPECT_EQ(loop.volume, -2000);
    game.session.levelTime = 600.0f;
    runFrame(game);
    ASSERT_EQ(game.session.gameState, OutOfTime);

    for (int i = 1; i <= 29; ++i) {
        runFrame(game);
        ASSERT_EQ(gameAudio.thrustLevel, 3000 - 100 * i) << "screen frame " << i;
        ASSERT_EQ(loop.volume, gameAudio.thrustLevel - 5000);
    }
    for (int i = 0; i < 30; ++i) {
        runFrame(game);
    }
    EXPECT_EQ(game.session.gameState, OutOfTime);
    EXPECT_EQ(gameAudio.thrustLevel, 0);
    EXPECT_EQ(loop.volume, dsbVolumeMin) << "silent, not the idle -5000";
    EXPECT_EQ(loop.plays, 1);

    keyUp('W');
    keyDown(vkSpace);
    runFrame(game);  // the fresh press leaves the screen
    EXPECT_EQ(game.session.gameState, Playing);
    EXPECT_EQ(loop.volume, dsbVolumeMin);
    runFrame(game);  // a frame of play, thrusting with Space
    EXPECT_EQ(loop.volume, 100 - 5000);
}
