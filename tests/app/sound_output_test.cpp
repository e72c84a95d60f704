// The sound output through the host's window messages, on the fake sound
// device with the generated sound files: halted while the window is inactive
// or minimised, and brought back after the output was lost.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "app/window_proc.h"
#include "audio/audio_startup.h"
#include "audio/game_sounds.h"
#include "data_folder.h"
#include "fake_game.h"
#include "fake_host.h"
#include "fake_sound_device.h"
#include "offscreen_gl.h"

namespace {

int sleeps = 0;

class SoundOutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(chdir(dataFolder().c_str()), 0) << dataFolder();
        ASSERT_TRUE(gl.ok());
        installFakeDevice(&device);
        ASSERT_TRUE(host.createWindow(windowProc, game));
        ASSERT_TRUE(gameAudio.musicSound != nullptr && gameAudio.thrustSound != nullptr &&
                    gameAudio.pickupSound != nullptr);
        previousSleep = std::exchange(soundSleep, [](std::uint32_t) { ++sleeps; });
        sleeps = 0;
    }
    void TearDown() override
    {
        soundSleep = previousSleep;
        stopAudio();
        setSoundDeviceCreator(nullptr);
        gameAudio.thrustLevel = 0;
    }

    FakeBuffer& buffer(Sound* sound) { return *static_cast<FakeBuffer*>(sound->getBuffer(0)); }
    void frames(int n)
    {
        for (int i = 0; i < n; ++i) host.sendMessage(wmPaint);
    }

    void (*previousSleep)(std::uint32_t) = nullptr;
    OffscreenGl gl{64, 64};
    FakeDevice device;
    FakeGame game;
    FakeHost host;
};

TEST_F(SoundOutputTest, TheOutputIsMutedWhileTheWindowIsInactiveOrMinimisedAndTheMusicPlaysOn)
{
    const auto musicCalls = device.callsOn(buffer(gameAudio.musicSound).index);
    host.setFocused(false);  // another window takes the focus
    EXPECT_TRUE(device.muted);
    Message m;
    ASSERT_TRUE(host.takeMessage(m));
    EXPECT_EQ(m.message, wmPaint);  // the game itself plays on
    host.setMinimised(true);
    host.setFocused(true);  // focus back on the minimised window: still not heard
    EXPECT_TRUE(device.muted);
    host.setMinimised(false);
    EXPECT_FALSE(device.muted);
    host.setMinimised(true);  // minimised while it has the focus
    EXPECT_TRUE(device.muted);
    host.setMinimised(false);
    EXPECT_FALSE(device.muted);
    EXPECT_EQ(device.countCalls("mute"), 2);
    EXPECT_EQ(device.countCalls("unmute"), 2);
    // The music was neither restarted nor refilled: it goes on where it was.
    EXPECT_EQ(device.callsOn(buffer(gameAudio.musicSound).index), musicCalls);
    EXPECT_TRUE(gameAudio.musicSound->isPlaying());
}

TEST_F(SoundOutputTest, ALostOutputIsOpenedAgainOnTheTimerAndEverySoundComesBack)
{
    FakeBuffer& music = buffer(gameAudio.musicSound);
    FakeBuffer& thrust = buffer(gameAudio.thrustSound);
    const std::vector<std::uint8_t> musicData = *music.data;
    const std::vector<std::uint8_t> chimeData = *buffer(gameAudio.pickupSound).data;
    // Each frame keeps the thrust loop going, as a frame of play with W held does.
    game.onFrame = [] { updateThrustSound(gameAudio, true); };
    frames(12);
    ASSERT_EQ(gameAudio.thrustLevel, 1200);

    // Unplugged, and no other output to be had: the game plays on silently.
    device.disconnect();
    device.outputAvailable = false;
    for (int tick = 0; tick < 2; ++tick) {
        frames(60);
        host.sendMessage(wmTimer, soundOutputTimer);
        EXPECT_EQ(gameAudio.pickupSound->play(0, 0, -3000, 50000, 0), dsErrNoDriver);  // a pickup: no sound, no wait
    }
    host.sendMessage(wmTimer, 99);  // some other timer
    EXPECT_EQ(game.frames, 12 + 120);
    EXPECT_TRUE(host.windowExists() && host.errorTexts.empty());
    EXPECT_EQ(sleeps, 0);
    EXPECT_EQ(gameAudio.thrustLevel, 1200);  // the loop cannot play, so its level holds
    // Only the sound-output timer asks after the output: once a tick, never a frame.
    EXPECT_EQ(device.countCalls("checkOutput"), 2);

    // Plugged in again: the next tick opens it and every sound comes back.
    device.outputAvailable = true;
    const std::size_t before = device.log.size();
    host.sendMessage(wmTimer, soundOutputTimer);
    for (FakeBuffer* b : device.buffers) {
        EXPECT_EQ(b->status & dsbStatusBufferLost, 0u) << b->index;
    }
    EXPECT_EQ(*music.data, musicData);
    EXPECT_EQ(*buffer(gameAudio.pickupSound).data, chimeData);
    EXPECT_EQ(music.status & dsbStatusPlaying, dsbStatusPlaying);
    EXPECT_EQ(thrust.status & dsbStatusPlaying, dsbStatusPlaying);
    EXPECT_EQ(thrust.volume, 1200 - 5000);
    std::vector<int> loopsStarted;
    for (std::size_t i = before; i < device.log.size(); ++i) {
        if (device.log[i].name == "play" && device.log[i].value == dsbPlayLooping) {
            loopsStarted.push_back(device.log[i].buffer);
        }
    }
    EXPECT_EQ(loopsStarted, (std::vector<int>{music.index, thrust.index}));
    frames(1);
    EXPECT_EQ(thrust.volume, 1300 - 5000);  // the thrust goes on from its level
    EXPECT_GE(gameAudio.pickupSound->play(0, 0, -3000, 50000, 0), 0);
    EXPECT_EQ(sleeps, 0);
}

}  // namespace
