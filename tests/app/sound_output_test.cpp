// The sound output through the host's window messages, on the fake sound
// device with the generated sound files: halted while the window is inactive
// or minimised, and brought back after the output was lost.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "app/controls.h"
#include "app/message_loop.h"
#include "app/rendering_setup.h"
#include "app/window_proc.h"
#include "audio/audio_startup.h"
#include "audio/game_sounds.h"
#include "audio/sound_manager.h"
#include "fake_host.h"
#include "fake_sound_device.h"
#include "offscreen_gl.h"

extern int runFrameCalls;

namespace {

class SoundOutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* data = std::getenv("GLIMMERFALL_DATA_DIR");
        ASSERT_NE(data, nullptr);
        ASSERT_EQ(chdir(data), 0) << data;
        ASSERT_TRUE(gl.ok());
        installFakeDevice(&device);
        screenWidth = host.desktopWidth();
        screenHeight = host.desktopHeight();
        ASSERT_TRUE(host.createWindow(windowProc));
        ASSERT_NE(musicSound, nullptr);
        ASSERT_NE(thrustSound, nullptr);
        ASSERT_NE(pickupSound, nullptr);
        music = index(musicSound->getBuffer(0));
        thrust = index(thrustSound->getBuffer(0));
        previousSleep = soundSleep;
        soundSleep = [](std::uint32_t) { ++sleeps; };
        sleeps = 0;
    }
    void TearDown() override
    {
        soundSleep = previousSleep;
        stopAudio();
        setSoundDeviceCreator(nullptr);
        thrustLevel = 0;
        keyForward = 0.0f;
    }

    int index(SoundBuffer* b) const { return static_cast<FakeBuffer*>(b)->index; }
    FakeBuffer& buffer(int i) { return *device.buffers[static_cast<std::size_t>(i)]; }
    std::vector<std::string> deviceCalls(const char* a, const char* b) const
    {
        std::vector<std::string> calls;
        for (const std::string& c : device.callsOn(-1)) {
            if (c == a || c == b) calls.push_back(c);
        }
        return calls;
    }
    void frames(int n)
    {
        for (int i = 0; i < n; ++i) host.sendMessage(WM_PAINT);
    }

    static inline int sleeps = 0;
    void (*previousSleep)(std::uint32_t) = nullptr;
    OffscreenGl gl{64, 64};
    FakeDevice device;
    FakeHost host;
    int music = -1;
    int thrust = -1;
};

TEST_F(SoundOutputTest, TheOutputIsHaltedWhileTheWindowIsInactiveOrMinimisedAndTheMusicGoesOnWhereItWas)
{
    const auto musicCalls = device.callsOn(music);
    host.setFocused(false);  // another window takes the focus
    EXPECT_TRUE(device.paused);
    Message m;
    ASSERT_TRUE(host.takeMessage(m));
    EXPECT_EQ(m.message, WM_PAINT);  // the game itself plays on
    host.setMinimised(true);
    host.setFocused(true);  // focus back on the minimised window: still not heard
    EXPECT_TRUE(device.paused);
    host.setMinimised(false);
    EXPECT_FALSE(device.paused);
    host.setMinimised(true);  // minimised while it has the focus
    EXPECT_TRUE(device.paused);
    host.setMinimised(false);
    EXPECT_FALSE(device.paused);
    EXPECT_EQ(deviceCalls("pause", "resume"), (std::vector<std::string>{"pause", "resume", "pause", "resume"}));
    // The music was neither restarted nor refilled: it continues where it was.
    EXPECT_EQ(device.callsOn(music), musicCalls);
    EXPECT_TRUE(musicSound->isPlaying());
    // Windows' own activation message for a minimised window halts it too.
    host.sendMessage(WM_ACTIVATE, WA_ACTIVE | (std::uint64_t{1} << 16));
    EXPECT_TRUE(device.paused);
}

TEST_F(SoundOutputTest, ALostOutputIsOpenedAgainOnTheTimerAndEverySoundComesBack)
{
    const std::vector<std::uint8_t> musicData = *buffer(music).data;
    const std::vector<std::uint8_t> chimeData = *buffer(index(pickupSound->getBuffer(0))).data;
    keyForward = 1000.0f;
    frames(12);
    ASSERT_EQ(thrustLevel, 1200);

    // Unplugged, and no other output to be had: the game plays on silently.
    device.disconnect();
    device.outputAvailable = false;
    frames(30);
    host.sendMessage(WM_TIMER, soundOutputTimer);
    frames(60);
    EXPECT_EQ(pickupSound->play(0, 0, -3000, 50000, 0), DSERR_NODRIVER);  // a pickup: no sound, no wait
    host.sendMessage(WM_TIMER, soundOutputTimer);
    frames(60);
    EXPECT_EQ(runFrameCalls, 12 + 150);
    EXPECT_TRUE(host.windowExists());
    EXPECT_TRUE(host.errorTexts.empty());
    EXPECT_EQ(sleeps, 0);
    EXPECT_EQ(thrustLevel, 1200);  // the loop cannot play, so its level holds
    // Only the timer asks after the output: once per tick, never per frame.
    EXPECT_EQ(device.countCalls("checkOutput"), 2);
    host.sendMessage(WM_TIMER, 99);  // some other timer
    EXPECT_EQ(device.countCalls("checkOutput"), 2);

    // Plugged in again: the next tick opens it and every sound comes back.
    device.outputAvailable = true;
    const std::size_t before = device.log.size();
    host.sendMessage(WM_TIMER, soundOutputTimer);
    EXPECT_EQ(device.countCalls("checkOutput"), 3);
    for (FakeBuffer* b : device.buffers) {
        if (b->size == 0) continue;  // the primary buffer
        EXPECT_EQ(b->status & DSBSTATUS_BUFFERLOST, 0u) << b->index;
    }
    EXPECT_EQ(*buffer(music).data, musicData);
    EXPECT_EQ(*buffer(index(pickupSound->getBuffer(0))).data, chimeData);
    EXPECT_EQ(buffer(music).status, DSBSTATUS_PLAYING);
    EXPECT_EQ(buffer(thrust).status, DSBSTATUS_PLAYING);
    EXPECT_EQ(buffer(thrust).volume, 1200 - 5000);
    int loopsStarted = 0;
    for (std::size_t i = before; i < device.log.size(); ++i) {
        const FakeCall& c = device.log[i];
        if (c.name == "play") {
            EXPECT_TRUE(c.buffer == music || c.buffer == thrust) << c.buffer;
            EXPECT_EQ(c.value, DSBPLAY_LOOPING);
            ++loopsStarted;
        }
    }
    EXPECT_EQ(loopsStarted, 2);
    frames(1);
    EXPECT_EQ(thrustLevel, 1300);  // and the thrust goes on from its level
    EXPECT_EQ(buffer(thrust).volume, 1300 - 5000);
    EXPECT_GE(pickupSound->play(0, 0, -3000, 50000, 0), 0);
    EXPECT_EQ(sleeps, 0);
}

}  // namespace
