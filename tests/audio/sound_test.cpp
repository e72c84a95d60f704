#include <gtest/gtest.h>

#include <algorithm>

#include "audio/game_sounds.h"
#include "audio/sound.h"
#include "audio/sound_manager.h"
#include "audio/wav_reader.h"
#include "fake_sound_device.h"
#include "math/game_random.h"
#include "wav_bytes.h"

namespace {

constexpr std::uint32_t gameFlags = dsbCapsCtrlVolume | dsbCapsCtrlFrequency;  // 0xA0

int sleeps = 0;
void countSleep(std::uint32_t) { ++sleeps; }

// A sound manager on a fake device, and WAV files to load.
class SoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        installFakeDevice(&device);
        ASSERT_EQ(manager.initialize(nullptr, dsSclPriority), sOk);
        sleeps = 0;
        soundSleep = countSleep;
        gameRandom().randState = 1;
        gameAudio.thrustLevel = 0;
    }
    void TearDown() override
    {
        gameAudio.thrustSound = nullptr;
        gameAudio.thrustLevel = 0;
        setSoundDeviceCreator(nullptr);
    }

    Sound* load(const std::vector<std::uint8_t>& file, std::uint32_t count, std::uint32_t flags = gameFlags)
    {
        const std::string path = writeTempFile("sound.wav", file);
        Sound* sound = nullptr;
        EXPECT_EQ(manager.createSound(&sound, path.c_str(), flags, guidNull, count), sOk);
        return sound;
    }

    // Index of the buffer that the last "play" call went to.
    int lastPlayed() const
    {
        for (auto it = device.log.rbegin(); it != device.log.rend(); ++it) {
            if (it->name == "play") return it->buffer;
        }
        return -2;
    }

    FakeDevice device;
    SoundManager manager;
};

TEST_F(SoundTest, CreateSoundFillsTheFirstBufferAndDuplicatesTheRest)
{
    const std::vector<std::uint8_t> data = rampBytes(100);
    std::unique_ptr<Sound> sound(load(pcmWave(1, 22050, 16, data), 10));
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(device.countCalls("createSoundBuffer"), 1);
    EXPECT_EQ(device.countCalls("duplicateSoundBuffer"), 9);
    EXPECT_EQ(device.lastDesc.flags, gameFlags);
    EXPECT_EQ(device.lastDesc.bufferBytes, 100u);
    EXPECT_EQ(device.lastFormat.samplesPerSec, 22050u);
    EXPECT_EQ(device.lastFormat.bitsPerSample, 16);
    EXPECT_EQ(sound->bufferCount, 10u);
    EXPECT_EQ(sound->bufferBytes, 100u);
    EXPECT_EQ(sound->creationFlags, gameFlags);
    ASSERT_NE(sound->reader, nullptr);
    EXPECT_NE(sound->reader->handle, nullptr);  // kept open for refills

    // Entry 0 holds the data; the duplicates share it.
    auto* first = static_cast<FakeBuffer*>(sound->getBuffer(0));
    EXPECT_EQ(*first->data, data);
    EXPECT_FALSE(first->locked);
    for (std::uint32_t i = 1; i < 10; ++i) {
        EXPECT_EQ(static_cast<FakeBuffer*>(sound->getBuffer(i))->data, first->data);
    }
    EXPECT_EQ(sound->getBuffer(10), nullptr);

    // Destroying the sound releases every buffer.
    sound.reset();
    EXPECT_EQ(device.countCalls("release"), 10);
    EXPECT_TRUE(std::all_of(device.buffers.begin(), device.buffers.end(),
                            [](const FakeBuffer* b) { return b->released; }));
}

TEST_F(SoundTest, CreateSoundRejectsBadArgumentsFilesAndFormats)
{
    Sound* sound = reinterpret_cast<Sound*>(0x1);  // must stay untouched on failure
    const std::string good = writeTempFile("good.wav", pcmWave(1, 8000, 8, rampBytes(16)));
    EXPECT_EQ(manager.createSound(&sound, good.c_str(), gameFlags, guidNull, 0), eInvalidArg);
    EXPECT_EQ(manager.createSound(&sound, nullptr, gameFlags, guidNull, 1), eInvalidArg);
    EXPECT_EQ(manager.createSound(nullptr, good.c_str(), gameFlags, guidNull, 1), eInvalidArg);
    EXPECT_EQ(manager.createSound(&sound, "/nonexistent/pickup.wav", gameFlags, guidNull, 1), eFail);
    const std::string empty = writeTempFile("empty.wav", pcmWave(1, 8000, 8, {}));
    EXPECT_EQ(manager.createSound(&sound, empty.c_str(), gameFlags, guidNull, 1), eFail);

    SoundManager fresh;
    EXPECT_EQ(fresh.createSound(&sound, good.c_str(), gameFlags, guidNull, 1), coENotInitialized);

    struct Case {
        const char* what;
        std::vector<std::uint8_t> fmt;
    };
    RiffBytes zeroAlign;
    zeroAlign.u16(1).u16(1).u32(8000).u32(8000).u16(0).u16(8);
    RiffBytes adpcm;
    adpcm.raw(formatBytes(2, 1, 8000, 4)).u16(0);
    const Case cases[] = {
        {"24-bit", formatBytes(1, 1, 8000, 24)},
        {"three channels", formatBytes(1, 3, 8000, 16)},
        {"no channels", formatBytes(1, 0, 8000, 16)},
        {"zero rate", formatBytes(1, 1, 0, 16)},
        {"zero block align", zeroAlign.bytes},
        {"compressed", adpcm.bytes},
    };
    for (const Case& c : cases) {
        RiffBytes body;
        body.chunk("fmt ", c.fmt).chunk("data", rampBytes(16));
        const std::string path = writeTempFile("odd.wav", riffWave(body.bytes));
        EXPECT_EQ(manager.createSound(&sound, path.c_str(), gameFlags, guidNull, 1), dsErrBadFormat) << c.what;
    }
    EXPECT_EQ(sound, reinterpret_cast<Sound*>(0x1));
    EXPECT_EQ(device.countCalls("createSoundBuffer"), 0);
}

TEST_F(SoundTest, CreateSoundReleasesWhatItMadeWhenABufferFails)
{
    const std::string path = writeTempFile("pickup.wav", pcmWave(1, 8000, 8, rampBytes(16)));
    Sound* sound = nullptr;
    device.failDuplicateAfter = 3;
    EXPECT_EQ(manager.createSound(&sound, path.c_str(), gameFlags, guidNull, 10), eOutOfMemory);
    EXPECT_EQ(sound, nullptr);
    ASSERT_EQ(device.buffers.size(), 4u);  // entry 0 and three duplicates before the failure
    EXPECT_TRUE(std::all_of(device.buffers.begin(), device.buffers.end(),
                            [](const FakeBuffer* b) { return b->released; }));
}

TEST_F(SoundTest, EffectBuffersAreCreatedEachAndNoVirtualizationIsPassedOn)
{
    const std::string path = writeTempFile("fx.wav", pcmWave(1, 8000, 8, rampBytes(16)));
    Sound* sound = nullptr;
    device.createResult = dsNoVirtualization;
    EXPECT_EQ(manager.createSound(&sound, path.c_str(), gameFlags | dsbCapsCtrlFx, guidNull, 3),
              dsNoVirtualization);
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(device.countCalls("createSoundBuffer"), 3);
    EXPECT_EQ(device.countCalls("duplicateSoundBuffer"), 0);
    delete sound;

    device.createResult = sOk;
    device.failCreateAfter = 1;
    sound = nullptr;
    EXPECT_EQ(manager.createSound(&sound, path.c_str(), dsbCapsCtrlFx, guidNull, 3), eOutOfMemory);
    EXPECT_EQ(sound, nullptr);
    EXPECT_TRUE(device.buffers.back()->released);
}

TEST_F(SoundTest, EleventhPlayReusesABufferPickedByTheGameGenerator)
{
    std::unique_ptr<Sound> pickup(load(pcmWave(1, 22050, 8, rampBytes(64)), 10));
    ASSERT_NE(pickup, nullptr);
    const int firstBuffer = static_cast<FakeBuffer*>(pickup->getBuffer(0))->index;

    EXPECT_FALSE(pickup->isPlaying());
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(pickup->play(0, 0, -3000, 50000, 0), sOk);
        EXPECT_EQ(lastPlayed(), firstBuffer + i) << "play " << i << " takes the first free buffer";
    }
    EXPECT_TRUE(pickup->isPlaying());
    EXPECT_EQ(gameRandom().randState, 1u) << "no draw while a buffer was free";

    for (std::uint32_t start : {1u, 12345u, 0xDEADBEEFu}) {
        gameRandom().randState = start;
        std::uint32_t copy = start;
        copy = copy * 214013u + 2531011u;
        const int expected = static_cast<int>(((copy >> 16) & 0x7FFFu) % 10u);
        ASSERT_EQ(pickup->play(0, 0, -3000, 50000, 0), sOk);
        EXPECT_EQ(lastPlayed(), firstBuffer + expected) << "state " << start;
        EXPECT_EQ(gameRandom().randState, copy) << "exactly one draw";
    }

    // Once a buffer has finished, it is the one taken again.
    static_cast<FakeBuffer*>(pickup->getBuffer(7))->status = 0;
    ASSERT_EQ(pickup->play(0, 0, -3000, 50000, 0), sOk);
    EXPECT_EQ(lastPlayed(), firstBuffer + 7);
}

TEST_F(SoundTest, PlaySetsOnlyTheControlsTheBuffersWereMadeWith)
{
    std::unique_ptr<Sound> sound(load(pcmWave(1, 22050, 16, rampBytes(64)), 1));
    ASSERT_EQ(sound->play(0, 0, -3000, 50000, 0), sOk);
    EXPECT_EQ(device.countCalls("setVolume"), 1);
    EXPECT_EQ(device.countCalls("setFrequency"), 1);
    EXPECT_EQ(device.countCalls("setPan"), 0) << "0xA0 has no pan control";
    EXPECT_EQ(device.log.back().name, "play");
    EXPECT_EQ(static_cast<FakeBuffer*>(sound->getBuffer(0))->volume, -3000);

    static_cast<FakeBuffer*>(sound->getBuffer(0))->status = 0;
    ASSERT_EQ(sound->play(0, dsbPlayLooping, 0, -1, 0), sOk);
    EXPECT_EQ(device.countCalls("setFrequency"), 1) << "-1 leaves the rate alone";
    EXPECT_EQ(device.log.back().value, dsbPlayLooping);

    std::unique_ptr<Sound> panned(load(pcmWave(1, 22050, 16, rampBytes(64)), 1, dsbCapsCtrlPan));
    ASSERT_EQ(panned->play(0, 0, -3000, 50000, 250), sOk);
    EXPECT_EQ(device.countCalls("setPan"), 1);
    EXPECT_EQ(device.countCalls("setVolume"), 2);
    EXPECT_EQ(device.countCalls("setFrequency"), 1);
}

TEST_F(SoundTest, OneBufferSoundHasNoSecondBuffer)
{
    std::unique_ptr<Sound> thrust(load(pcmWave(1, 22050, 16, rampBytes(64)), 1));
    EXPECT_NE(thrust->getBuffer(0), nullptr);
    EXPECT_EQ(thrust->getBuffer(1), nullptr);
    EXPECT_EQ(thrust->getBuffer(0xFFFFFFFFu), nullptr);
}

TEST_F(SoundTest, ThrustLoopRampsBetweenItsBounds)
{
    std::unique_ptr<Sound> thrust(load(pcmWave(1, 22050, 16, rampBytes(64)), 1));
    gameAudio.thrustSound = thrust.get();
    auto* loop = static_cast<FakeBuffer*>(thrust->getBuffer(0));

    // Idle before the loop ever started: nothing happens at all.
    const std::size_t before = device.log.size();
    for (int i = 0; i < 5; ++i) updateThrustSound(gameAudio, false);
    EXPECT_EQ(device.log.size(), before);
    EXPECT_EQ(gameAudio.thrustLevel, 0);

    for (int frame = 1; frame <= 30; ++frame) {
        updateThrustSound(gameAudio, true);
        EXPECT_EQ(gameAudio.thrustLevel, 100 * frame);
        EXPECT_EQ(loop->volume, 100 * frame - 5000);
    }
    EXPECT_EQ(loop->volume, -2000);
    EXPECT_EQ(device.countCalls("play"), 1) << "started once";
    EXPECT_EQ(device.log[before].name, "play");
    EXPECT_EQ(device.log[before].value, dsbPlayLooping);
    EXPECT_EQ(device.countCalls("setFrequency"), 0);
    updateThrustSound(gameAudio, true);
    EXPECT_EQ(gameAudio.thrustLevel, 3000);
    EXPECT_EQ(loop->volume, -2000);

    for (int frame = 1; frame <= 30; ++frame) updateThrustSound(gameAudio, false);
    EXPECT_EQ(gameAudio.thrustLevel, 0);
    EXPECT_EQ(loop->volume, -5000);
    updateThrustSound(gameAudio, false);
    EXPECT_EQ(gameAudio.thrustLevel, 0);
    EXPECT_EQ(loop->volume, -5000);
    EXPECT_EQ(device.countCalls("play"), 1) << "the loop never stops";
}

TEST_F(SoundTest, ThrustThatCannotStartTheLoopChangesNothing)
{
    std::unique_ptr<Sound> thrust(load(pcmWave(1, 22050, 16, rampBytes(64)), 1));
    gameAudio.thrustSound = thrust.get();
    static_cast<FakeBuffer*>(thrust->getBuffer(0))->playStartsPlaying = false;
    updateThrustSound(gameAudio, true);
    updateThrustSound(gameAudio, true);
    EXPECT_EQ(gameAudio.thrustLevel, 0);
    EXPECT_EQ(device.countCalls("play"), 2);
    EXPECT_EQ(device.countCalls("setVolume"), 0);

    gameAudio.thrustSound = nullptr;  // a sound that could not be loaded
    updateThrustSound(gameAudio, true);
    updateThrustSound(gameAudio, false);
    EXPECT_EQ(device.countCalls("play"), 2);
}

// A sound over fake buffers bigger than its file's data, to see the padding.
struct PaddedSound {
    PaddedSound(FakeDevice& device, const std::vector<std::uint8_t>& file, std::uint32_t bytes)
    {
        auto* reader = new WavReader;
        reader->openMemory(file.data(), file.size());
        SoundBufferDesc desc;
        desc.bufferBytes = bytes;
        desc.format = reader->format;
        SoundBuffer* buffer = nullptr;
        device.createSoundBuffer(desc, &buffer);
        fake = static_cast<FakeBuffer*>(buffer);
        sound = std::make_unique<Sound>(&buffer, 1, bytes, reader, gameFlags);
    }
    std::unique_ptr<Sound> sound;
    FakeBuffer* fake;
};

TEST_F(SoundTest, ShortDataIsPaddedWithTheFormatsSilence)
{
    const std::vector<std::uint8_t> data = rampBytes(5, 10);
    PaddedSound eight(device, pcmWave(1, 8000, 8, data), 12);
    EXPECT_EQ(*eight.fake->data, (std::vector<std::uint8_t>{10, 11, 12, 13, 14, 0x80, 0x80, 0x80, 0x80,
                                                            0x80, 0x80, 0x80}));
    EXPECT_FALSE(eight.fake->locked);

    PaddedSound sixteen(device, pcmWave(1, 8000, 16, rampBytes(6, 10)), 10);
    EXPECT_EQ(*sixteen.fake->data, (std::vector<std::uint8_t>{10, 11, 12, 13, 14, 15, 0, 0, 0, 0}));

    // A reader that delivers nothing (its file has no data chunk): all silence.
    RiffBytes body;
    body.chunk("fmt ", formatBytes(1, 1, 8000, 8));
    PaddedSound none(device, riffWave(body.bytes), 6);
    EXPECT_EQ(*none.fake->data, std::vector<std::uint8_t>(6, 0x80));

    // Refilling after the data was overwritten brings it back.
    std::fill(eight.fake->data->begin(), eight.fake->data->end(), 0);
    ASSERT_EQ(eight.sound->fillBuffer(eight.fake), sOk);
    EXPECT_EQ((*eight.fake->data)[0], 10);
    EXPECT_EQ((*eight.fake->data)[11], 0x80);
    EXPECT_EQ(eight.sound->fillBuffer(nullptr), coENotInitialized);
}

TEST_F(SoundTest, LostBufferIsRestoredAndRefilledBeforeItPlays)
{
    const std::vector<std::uint8_t> data = rampBytes(32);
    std::unique_ptr<Sound> sound(load(pcmWave(1, 22050, 8, data), 1));
    auto* buffer = static_cast<FakeBuffer*>(sound->getBuffer(0));

    bool restored = true;
    EXPECT_EQ(sound->restoreBuffer(buffer, &restored), sFalse);
    EXPECT_FALSE(restored);
    EXPECT_EQ(sound->restoreBuffer(nullptr, &restored), coENotInitialized);

    std::fill(buffer->data->begin(), buffer->data->end(), 0);
    buffer->status = dsbStatusBufferLost;
    buffer->restoresUntilFound = 3;
    ASSERT_EQ(sound->play(0, 0, 0, -1, 0), sOk);
    EXPECT_EQ(*buffer->data, data);
    EXPECT_EQ(device.log.back().name, "play");
    EXPECT_EQ(sleeps, 2);  // lost, wait, lost / lost, wait, found
}

TEST_F(SoundTest, RestoreGivesUpAfterBoundedRetries)
{
    std::unique_ptr<Sound> sound(load(pcmWave(1, 22050, 8, rampBytes(32)), 1));
    auto* buffer = static_cast<FakeBuffer*>(sound->getBuffer(0));
    buffer->status = dsbStatusBufferLost;
    buffer->restoresUntilFound = 1000000;

    bool restored = true;
    EXPECT_EQ(sound->restoreBuffer(buffer, &restored), dsErrBufferLost);
    EXPECT_FALSE(restored);
    EXPECT_EQ(sleeps, static_cast<int>(Sound::maxRestoreAttempts));
    EXPECT_EQ(device.countCalls("restore"), 2 * static_cast<int>(Sound::maxRestoreAttempts));

    const int plays = device.countCalls("play");
    EXPECT_EQ(sound->play(0, 0, 0, -1, 0), dsErrBufferLost);
    EXPECT_EQ(device.countCalls("play"), plays);

    // Some other failure of the device is passed on, not taken as restored.
    buffer->restoresUntilFound = 0;
    buffer->restoreFailure = eOutOfMemory;
    EXPECT_EQ(sound->restoreBuffer(buffer, &restored), eOutOfMemory);
    EXPECT_FALSE(restored);
}

TEST_F(SoundTest, ManagerSetsThePrimaryFormatAndReplacesItsDevice)
{
    ASSERT_EQ(manager.setPrimaryFormat(10, 22050, 16), sOk);
    EXPECT_EQ(device.primaryFormat.formatTag, waveFormatPcm);
    EXPECT_EQ(device.primaryFormat.channels, 10);
    EXPECT_EQ(device.primaryFormat.blockAlign, 20);
    EXPECT_EQ(device.primaryFormat.avgBytesPerSec, 441000u);
    EXPECT_EQ(device.primaryFormat.extraSize, 0);
    EXPECT_EQ(device.cooperativeLevel, dsSclPriority);
    EXPECT_TRUE(device.buffers.at(0)->released) << "the primary buffer is let go";

    device.setFormatResult = dsErrBadFormat;
    EXPECT_EQ(manager.setPrimaryFormat(2, 44100, 16), dsErrBadFormat);

    EXPECT_EQ(SoundManager{}.setPrimaryFormat(2, 44100, 16), coENotInitialized);

    ASSERT_EQ(manager.initialize(nullptr, dsSclPriority), sOk);
    EXPECT_TRUE(device.releasedDevice);
    installFakeDevice(&device, dsErrNoDriver);
    EXPECT_EQ(manager.initialize(nullptr, dsSclPriority), dsErrNoDriver);
    EXPECT_EQ(manager.directSound, nullptr);
}

}  // namespace
