// With no working sound output, opening the device fails and the start-up
// reports it. OpenAL Soft reads ALSOFT_DRIVERS when it is first used, so each
// case names a backend that does not exist before touching it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "audio/audio_startup.h"
#include "audio/game_sounds.h"
#include "audio/openal_device.h"
#include "audio/sound_manager.h"

namespace {

void noOutput() { ::setenv("ALSOFT_DRIVERS", "no-such-backend", 1); }

TEST(NoSoundOutput, DeviceCreationFails)
{
    noOutput();
    SoundDevice* device = reinterpret_cast<SoundDevice*>(0x1);
    EXPECT_EQ(createOpenAlDevice(&device), dsErrNoDriver);
    EXPECT_EQ(device, nullptr);
}

TEST(NoSoundOutput, StartupReportsTheFailureAndMakesNoSounds)
{
    noOutput();
    EXPECT_EQ(startAudio(), dsErrNoDriver);
    EXPECT_EQ(gameAudio.soundManager.directSound, nullptr);
    EXPECT_EQ(gameAudio.pickupSound, nullptr);
    EXPECT_EQ(gameAudio.thrustSound, nullptr);
    EXPECT_EQ(gameAudio.musicSound, nullptr);
}

}  // namespace
