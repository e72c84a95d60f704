#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "audio/audio_startup.h"
#include "audio/game_sounds.h"
#include "audio/sound_manager.h"
#include "data_files.h"
#include "fake_sound_device.h"
#include "wav_bytes.h"

namespace {

namespace fs = std::filesystem;

// Runs the start-up in a folder of its own holding the chosen sound files,
// with the globals back at their start values.
class AudioStartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = fs::current_path();
        folder = fs::path(writeTempFile("marker", {})).parent_path() /
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::current_path(folder);
        resetGlobals();
        installFakeDevice(&device);
    }
    void TearDown() override
    {
        resetGlobals();
        setSoundDeviceCreator(nullptr);
        fs::current_path(previous);
        fs::remove_all(folder);
    }
    static void resetGlobals()
    {
        delete gameAudio.pickupSound;
        delete gameAudio.thrustSound;
        delete gameAudio.musicSound;
        gameAudio.pickupSound = gameAudio.thrustSound = gameAudio.musicSound = nullptr;
        gameAudio.soundManager.directSound = nullptr;
        gameAudio.thrustLevel = 0;
        gameAudio.masterVolume = maxMasterVolume;
        gameAudio.musicOn = true;
    }
    static void writeSound(const char* name, std::size_t bytes)
    {
        const std::string path = writeTempFile(name, pcmWave(1, 22050, 16, rampBytes(bytes)));
        fs::rename(path, name);
    }

    // The device calls, in order, by name.
    std::vector<std::string> calls() const
    {
        std::vector<std::string> names;
        for (const FakeCall& c : device.log) names.push_back(c.name);
        return names;
    }

    fs::path previous;
    fs::path folder;
    FakeDevice device;
};

TEST_F(AudioStartupTest, OpensTheDeviceLoadsThreeSoundsAndStartsTheMusic)
{
    writeSound(dataFiles::pickupSound, 40);
    writeSound(dataFiles::thrustSound, 60);
    writeSound(dataFiles::musicSound, 80);
    ASSERT_EQ(startAudio(), sOk);

    ASSERT_NE(gameAudio.pickupSound, nullptr);
    ASSERT_NE(gameAudio.thrustSound, nullptr);
    ASSERT_NE(gameAudio.musicSound, nullptr);
    EXPECT_EQ(gameAudio.pickupSound->bufferCount, 10u);
    EXPECT_EQ(gameAudio.thrustSound->bufferCount, 1u);
    EXPECT_EQ(gameAudio.musicSound->bufferCount, 1u);
    for (const Sound* s : {gameAudio.pickupSound, gameAudio.thrustSound, gameAudio.musicSound}) {
        EXPECT_EQ(s->creationFlags, 0xA0u);
    }
    EXPECT_EQ(gameAudio.pickupSound->bufferBytes, 40u);
    EXPECT_EQ(gameAudio.thrustSound->bufferBytes, 60u);
    EXPECT_EQ(gameAudio.musicSound->bufferBytes, 80u);

    EXPECT_EQ(device.cooperativeLevel, dsSclPriority);
    EXPECT_EQ(device.primaryFormat.channels, 10);
    EXPECT_EQ(device.primaryFormat.samplesPerSec, 22050u);
    EXPECT_EQ(device.primaryFormat.bitsPerSample, 16);

    std::vector<std::string> expected = {"create", "setCooperativeLevel", "createPrimary", "setFormat",
                                         "release", "createSoundBuffer"};
    for (int i = 0; i < 9; ++i) expected.push_back("duplicateSoundBuffer");
    expected.insert(expected.end(), {"lock", "unlock", "createSoundBuffer", "lock", "unlock",
                                     "createSoundBuffer", "lock", "unlock", "masterVolume", "setVolume", "play"});
    // Entry 0 is filled once all of a sound's buffers exist; the player's
    // volume is the device's before the music starts.
    EXPECT_EQ(calls(), expected);
    EXPECT_EQ(device.masterVolume, 0);

    // The music loops at full volume with its own rate and no pan.
    EXPECT_TRUE(gameAudio.musicSound->isPlaying());
    EXPECT_EQ(device.log.back().value, dsbPlayLooping);
    EXPECT_EQ(device.log[device.log.size() - 2].value, 0);
    EXPECT_FALSE(gameAudio.pickupSound->isPlaying());
    EXPECT_FALSE(gameAudio.thrustSound->isPlaying());

    // The end of the game lets go of every buffer and then the device, once.
    stopAudio();
    stopAudio();
    EXPECT_EQ(gameAudio.pickupSound, nullptr);
    EXPECT_EQ(gameAudio.thrustSound, nullptr);
    EXPECT_EQ(gameAudio.musicSound, nullptr);
    EXPECT_EQ(gameAudio.soundManager.directSound, nullptr);
    for (const FakeBuffer* b : device.buffers) EXPECT_TRUE(b->released) << "buffer " << b->index;
    EXPECT_EQ(device.countCalls("releaseDevice"), 1);
    EXPECT_EQ(calls().back(), "releaseDevice");
}

// The player's choices kept from the last game: each volume step is 3 dB,
// silence at 0; music off starts the music silent (it plays on, to come back
// where it has got to), and M brings it back.
TEST_F(AudioStartupTest, StartsWithThePlayersVolumeAndMusicAndStepsThem)
{
    writeSound(dataFiles::pickupSound, 40);
    writeSound(dataFiles::thrustSound, 60);
    writeSound(dataFiles::musicSound, 80);
    gameAudio.masterVolume = 7;
    gameAudio.musicOn = false;
    ASSERT_EQ(startAudio(), sOk);
    EXPECT_EQ(device.masterVolume, -900);
    EXPECT_TRUE(gameAudio.musicSound->isPlaying());
    EXPECT_EQ(device.log[device.log.size() - 2].value, dsbVolumeMin) << "the music's volume";

    setMasterVolume(gameAudio, 0);
    EXPECT_EQ(device.masterVolume, dsbVolumeMin);
    setMasterVolume(gameAudio, 11);
    EXPECT_EQ(gameAudio.masterVolume, maxMasterVolume);
    EXPECT_EQ(device.masterVolume, 0);
    setMusicOn(gameAudio, true);
    EXPECT_EQ(device.log.back().name, "setVolume");
    EXPECT_EQ(device.log.back().value, 0);
    stopAudio();
}

TEST_F(AudioStartupTest, MissingSoundIsNamedOnStderrAndTheRestStillRuns)
{
    writeSound(dataFiles::pickupSound, 40);
    writeSound(dataFiles::musicSound, 80);
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(startAudio(), sOk);
    const std::string err = ::testing::internal::GetCapturedStderr();

    EXPECT_NE(err.find(dataFiles::thrustSound), std::string::npos) << err;
    EXPECT_EQ(err.find(dataFiles::pickupSound), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(gameAudio.pickupSound, nullptr);
    EXPECT_EQ(gameAudio.thrustSound, nullptr);
    ASSERT_NE(gameAudio.musicSound, nullptr);
    EXPECT_TRUE(gameAudio.musicSound->isPlaying());

    // Thrust goes on without its sound.
    updateThrustSound(gameAudio, true);
    EXPECT_EQ(gameAudio.thrustLevel, 0);
}

TEST_F(AudioStartupTest, UnreadableFilesLeaveEverySoundNullButStillSucceed)
{
    {
        std::ofstream garbage(dataFiles::musicSound);
        garbage << "RIFF....WAVEjunk";
    }
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(startAudio(), sOk);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 3) << err;
    EXPECT_NE(err.find(dataFiles::musicSound), std::string::npos);
    EXPECT_EQ(gameAudio.pickupSound, nullptr);
    EXPECT_EQ(gameAudio.thrustSound, nullptr);
    EXPECT_EQ(gameAudio.musicSound, nullptr);
    EXPECT_EQ(device.countCalls("play"), 0);
}

TEST_F(AudioStartupTest, DeviceOrFormatFailureStopsBeforeAnySound)
{
    writeSound(dataFiles::musicSound, 80);
    installFakeDevice(&device, dsErrNoDriver);
    EXPECT_EQ(startAudio(), dsErrNoDriver);
    EXPECT_EQ(gameAudio.musicSound, nullptr);

    installFakeDevice(&device);
    device.setFormatResult = dsErrBadFormat;
    EXPECT_EQ(startAudio(), dsErrBadFormat);
    EXPECT_EQ(device.countCalls("createSoundBuffer"), 0);
    EXPECT_EQ(gameAudio.musicSound, nullptr);
    // The device did open: the game's end closes it.
    stopAudio();
    EXPECT_TRUE(device.releasedDevice);
}

}  // namespace
