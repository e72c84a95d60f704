// The OpenAL Soft device itself. Needs a working OpenAL output: scripts/test
// runs it on OpenAL Soft's null backend (ALSOFT_DRIVERS=null).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/openal_buffer.h"
#include "audio/openal_device.h"
#include "audio/sound.h"
#include "audio/sound_manager.h"
#include "wav_bytes.h"

namespace {

TEST(OpenAlGain, FollowsTenToTheVolumeOverTwoThousand)
{
    EXPECT_FLOAT_EQ(gainFromVolume(0), 1.0f);
    EXPECT_FLOAT_EQ(gainFromVolume(-2000), 0.1f);
    EXPECT_FLOAT_EQ(gainFromVolume(-5000), static_cast<float>(std::pow(10.0, -2.5)));
    EXPECT_FLOAT_EQ(gainFromVolume(-600), static_cast<float>(std::pow(10.0, -0.3)));
    EXPECT_EQ(gainFromVolume(-10000), 0.0f);
    EXPECT_EQ(gainFromVolume(-30000), 0.0f);
    EXPECT_FLOAT_EQ(gainFromVolume(500), 1.0f);
}

// The game's sound files: 16-bit mono at 22 050 Hz.
WaveFormatEx mono16At22050()
{
    WaveFormatEx format;
    format.formatTag = waveFormatPcm;
    format.channels = 1;
    format.samplesPerSec = 22050;
    format.bitsPerSample = 16;
    format.blockAlign = 2;
    format.avgBytesPerSec = 44100;
    return format;
}

struct Released {
    void operator()(SoundBuffer* b) const { b->release(); }
    void operator()(SoundDevice* d) const { d->release(); }
};

TEST(OpenAlDevice, PlaysSharedBuffersHeadless)
{
    SoundDevice* rawDevice = nullptr;
    ASSERT_EQ(createOpenAlDevice(&rawDevice), sOk) << "no OpenAL output (is ALSOFT_DRIVERS=null set?)";
    std::unique_ptr<SoundDevice, Released> device(rawDevice);
    EXPECT_EQ(device->setCooperativeLevel(nullptr, dsSclPriority), sOk);

    SoundBufferDesc primaryDesc;
    primaryDesc.flags = dsbCapsPrimaryBuffer;
    SoundBuffer* primary = nullptr;
    ASSERT_EQ(device->createSoundBuffer(primaryDesc, &primary), sOk);
    WaveFormatEx mix;
    mix.formatTag = waveFormatPcm;
    mix.channels = 10;
    mix.samplesPerSec = 22050;
    mix.bitsPerSample = 16;
    mix.blockAlign = 20;
    mix.avgBytesPerSec = 441000;
    EXPECT_EQ(primary->setFormat(mix), sOk);
    primary->release();

    WaveFormatEx format = mono16At22050();
    SoundBufferDesc desc;
    desc.flags = dsbCapsCtrlVolume | dsbCapsCtrlFrequency;
    desc.bufferBytes = 44101;  // one second and a stray byte OpenAL cannot take
    desc.format = &format;
    SoundBuffer* raw = nullptr;
    ASSERT_EQ(device->createSoundBuffer(desc, &raw), sOk);
    std::unique_ptr<SoundBuffer, Released> first(raw);

    void* region = nullptr;
    std::uint32_t bytes = 0;
    ASSERT_EQ(first->lock(0, desc.bufferBytes, &region, &bytes, nullptr, nullptr, 0), sOk);
    ASSERT_EQ(bytes, desc.bufferBytes);
    const std::vector<std::uint8_t> ramp = rampBytes(bytes);
    std::memcpy(region, ramp.data(), bytes);
    ASSERT_EQ(first->unlock(region, bytes, nullptr, 0), sOk);

    ASSERT_EQ(device->duplicateSoundBuffer(first.get(), &raw), sOk);
    std::unique_ptr<SoundBuffer, Released> second(raw);

    OpenAlSourceState a;
    OpenAlSourceState b;
    ASSERT_TRUE(inspectOpenAlBuffer(first.get(), &a));
    ASSERT_TRUE(inspectOpenAlBuffer(second.get(), &b));
    EXPECT_NE(a.alBuffer, 0u);
    EXPECT_EQ(a.alBuffer, b.alBuffer) << "duplicates share the data";
    EXPECT_EQ(a.alBufferBytes, 44100);

    std::uint32_t status = 99;
    ASSERT_EQ(first->getStatus(&status), sOk);
    EXPECT_EQ(status, 0u);
    ASSERT_EQ(first->play(0, 0, dsbPlayLooping), sOk);
    ASSERT_EQ(first->getStatus(&status), sOk);
    EXPECT_EQ(status, dsbStatusPlaying | dsbStatusLooping);
    ASSERT_EQ(second->getStatus(&status), sOk);
    EXPECT_EQ(status, 0u) << "each entry plays on its own";
    ASSERT_EQ(second->play(0, 0, 0), sOk);
    ASSERT_EQ(second->getStatus(&status), sOk);
    EXPECT_EQ(status & dsbStatusPlaying, dsbStatusPlaying);

    EXPECT_EQ(first->setVolume(-2000), sOk);
    EXPECT_EQ(first->setFrequency(44100), sOk);
    ASSERT_TRUE(inspectOpenAlBuffer(first.get(), &a));
    EXPECT_NEAR(a.gain, 0.1f, 1e-6f);
    EXPECT_NEAR(a.pitch, 2.0f, 1e-6f);
    EXPECT_TRUE(a.looping);
    EXPECT_EQ(first->setVolume(-10000), sOk);
    EXPECT_EQ(first->setFrequency(dsbFrequencyOriginal), sOk);
    ASSERT_TRUE(inspectOpenAlBuffer(first.get(), &a));
    EXPECT_EQ(a.gain, 0.0f);
    EXPECT_NEAR(a.pitch, 1.0f, 1e-6f);

    EXPECT_EQ(first->setVolume(1), dsErrInvalidParam);
    EXPECT_EQ(first->setVolume(-10001), dsErrInvalidParam);
    EXPECT_EQ(first->setFrequency(50), dsErrInvalidParam);
    EXPECT_LT(first->setPan(0), 0) << "made without a pan control";
    EXPECT_EQ(first->restore(), sOk);
    EXPECT_EQ(first->lock(desc.bufferBytes, 1, &region, &bytes, nullptr, nullptr, 0), dsErrInvalidParam);

    // Refilling re-attaches every source that shares the data.
    ASSERT_EQ(second->lock(0, desc.bufferBytes, &region, &bytes, nullptr, nullptr, 0), sOk);
    ASSERT_EQ(second->unlock(region, bytes, nullptr, 0), sOk);
    ASSERT_TRUE(inspectOpenAlBuffer(first.get(), &a));
    ASSERT_TRUE(inspectOpenAlBuffer(second.get(), &b));
    EXPECT_NE(a.alBuffer, 0u);
    EXPECT_EQ(a.alBuffer, b.alBuffer);
    std::uint8_t elsewhere[4] = {};
    EXPECT_EQ(second->unlock(elsewhere, 4, nullptr, 0), dsErrInvalidParam) << "not the locked memory";

    // Formats OpenAL cannot play are refused.
    format.bitsPerSample = 24;
    EXPECT_EQ(device->createSoundBuffer(desc, &raw), dsErrBadFormat);
    format.bitsPerSample = 16;
    format.channels = 6;
    EXPECT_EQ(device->createSoundBuffer(desc, &raw), dsErrBadFormat);
}

// The runner's device: mixes only when asked, and keeps a sound's samples once
// (OpenAL's copy), taking them back for a lock, so writing part of a buffer
// keeps the rest, the stray byte past the last whole frame included.
TEST(OpenAlDevice, LoopbackMixesOnRequestAndHoldsEachSoundOnce)
{
    SoundDevice* rawDevice = nullptr;
    ASSERT_EQ(createOpenAlLoopbackDevice(&rawDevice), sOk);
    std::unique_ptr<SoundDevice, Released> device(rawDevice);
    SoundDevice* second = nullptr;
    EXPECT_EQ(createOpenAlLoopbackDevice(&second), dsErrAllocated);

    WaveFormatEx format = mono16At22050();
    SoundBufferDesc desc;
    desc.flags = dsbCapsCtrlVolume;
    desc.bufferBytes = 44101;
    desc.format = &format;
    SoundBuffer* raw = nullptr;
    ASSERT_EQ(device->createSoundBuffer(desc, &raw), sOk);
    std::unique_ptr<SoundBuffer, Released> buffer(raw);

    const std::vector<std::uint8_t> ramp = rampBytes(desc.bufferBytes);
    void* region = nullptr;
    void* region2 = nullptr;
    std::uint32_t bytes = 0;
    std::uint32_t bytes2 = 0;
    ASSERT_EQ(buffer->lock(0, desc.bufferBytes, &region, &bytes, nullptr, nullptr, 0), sOk);
    std::memcpy(region, ramp.data(), bytes);
    ASSERT_EQ(buffer->unlock(region, bytes, nullptr, 0), sOk);
    OpenAlSourceState state;
    ASSERT_TRUE(inspectOpenAlBuffer(buffer.get(), &state));
    EXPECT_EQ(state.alBufferBytes, 44100);
    EXPECT_FALSE(state.stagingHeld) << "the device still holds a copy of the samples";

    // A partial lock hands out what the buffer holds, and writing it changes
    // only those bytes.
    ASSERT_EQ(buffer->lock(1000, 100, &region, &bytes, nullptr, nullptr, 0), sOk);
    ASSERT_EQ(bytes, 100u);
    EXPECT_EQ(std::memcmp(region, ramp.data() + 1000, 100), 0);
    std::memset(region, 0xAB, 100);
    ASSERT_EQ(buffer->unlock(region, bytes, nullptr, 0), sOk);
    ASSERT_EQ(buffer->lock(44000, 200, &region, &bytes, &region2, &bytes2, 0), sOk);
    ASSERT_EQ(bytes, 101u);
    ASSERT_EQ(bytes2, 99u);
    EXPECT_EQ(std::memcmp(region, ramp.data() + 44000, 101), 0);
    EXPECT_EQ(std::memcmp(region2, ramp.data(), 99), 0);
    ASSERT_EQ(buffer->unlock(region, bytes, region2, bytes2), sOk);
    ASSERT_EQ(buffer->lock(0, desc.bufferBytes, &region, &bytes, nullptr, nullptr, 0), sOk);
    std::vector<std::uint8_t> expected = ramp;
    std::fill(expected.begin() + 1000, expected.begin() + 1100, 0xAB);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), static_cast<std::uint8_t*>(region)));
    ASSERT_EQ(buffer->unlock(region, bytes, nullptr, 0), sOk);

    // Nothing sounds until the mix is taken; a one-second sound plays for 60
    // sixtieths of a second however long the calls take.
    std::vector<float> mix(735 * loopbackChannels);
    ASSERT_EQ(buffer->play(0, 0, 0), sOk);
    std::uint32_t status = 0;
    for (int frame = 0; frame < 60; ++frame) {
        ASSERT_EQ(buffer->getStatus(&status), sOk);
        EXPECT_EQ(status, dsbStatusPlaying) << "frame " << frame;
        ASSERT_TRUE(renderOpenAlLoopback(mix.data(), 735));
    }
    EXPECT_TRUE(std::any_of(mix.begin(), mix.end(), [](float v) { return v != 0.0f; }));
    ASSERT_TRUE(renderOpenAlLoopback(mix.data(), 735));
    ASSERT_EQ(buffer->getStatus(&status), sOk);
    EXPECT_EQ(status, 0u);

    // Closed, the loopback output renders nothing and can be opened again.
    buffer.reset();
    device.reset();
    mix.assign(mix.size(), 1.0f);
    EXPECT_FALSE(renderOpenAlLoopback(mix.data(), 735));
    EXPECT_TRUE(std::all_of(mix.begin(), mix.end(), [](float v) { return v == 0.0f; }));
    ASSERT_EQ(createOpenAlLoopbackDevice(&second), sOk);
    second->release();
}

TEST(OpenAlDevice, CarriesTheSoundManagerFromFileToPlayingSound)
{
    const std::string path = writeTempFile("chime.wav", pcmWave(2, 22050, 8, rampBytes(4000)));
    SoundManager manager;
    setSoundDeviceCreator(nullptr);  // the real device
    ASSERT_EQ(manager.initialize(nullptr, dsSclPriority), sOk);
    ASSERT_EQ(manager.setPrimaryFormat(10, 22050, 16), sOk);
    Sound* raw = nullptr;
    ASSERT_EQ(manager.createSound(&raw, path.c_str(), 0xA0, guidNull, 10), sOk);
    std::unique_ptr<Sound> sound(raw);

    OpenAlSourceState state;
    ASSERT_TRUE(inspectOpenAlBuffer(sound->getBuffer(9), &state));
    EXPECT_EQ(state.alBufferBytes, 4000);
    EXPECT_FALSE(sound->isPlaying());
    ASSERT_EQ(sound->play(0, dsbPlayLooping, -3000, 50000, 0), sOk);
    EXPECT_TRUE(sound->isPlaying());
    ASSERT_TRUE(inspectOpenAlBuffer(sound->getBuffer(0), &state));
    EXPECT_NEAR(state.gain, gainFromVolume(-3000), 1e-6f);
    EXPECT_NEAR(state.pitch, 50000.0f / 22050.0f, 1e-5f);
    sound.reset();
    manager.directSound->release();
}

// What the old output held when the game let go of it, read while its
// context was still current.
struct LetGo {
    std::vector<ALuint> sources;
    std::vector<ALuint> buffers;
    bool clean = false;
    int sourcesLeft = -1;
    int buffersLeft = -1;
    ALenum errorLeft = AL_NO_ERROR;
};
LetGo letGo;

// A headset unplugged and the output opened again, on OpenAL Soft's real
// (null) device: before the old context goes, every source is deleted and
// then each sound's AL buffer, with no error left behind (a buffer that a
// source still holds cannot be deleted); the chime's ten shared sources and
// the music then play again from the refilled buffers. Reopening twice
// more keeps every sound's list of sources within bounds.
TEST(OpenAlDevice, AReopenedOutputLetsGoOfEverySourceAndBufferAndEverySoundPlaysAgain)
{
    const std::string chimePath = writeTempFile("reopen_chime.wav", pcmWave(1, 22050, 16, rampBytes(8000)));
    const std::string musicPath = writeTempFile("reopen_music.wav", pcmWave(2, 22050, 16, rampBytes(40000)));
    SoundManager manager;
    setSoundDeviceCreator(nullptr);
    ASSERT_EQ(manager.initialize(nullptr, dsSclPriority), sOk);
    Sound* raw = nullptr;
    ASSERT_EQ(manager.createSound(&raw, chimePath.c_str(), 0xA0, guidNull, 10), sOk);
    std::unique_ptr<Sound> chime(raw);
    ASSERT_EQ(manager.createSound(&raw, musicPath.c_str(), 0xA0, guidNull, 1), sOk);
    std::unique_ptr<Sound> music(raw);
    ASSERT_EQ(music->play(0, dsbPlayLooping, 0, -1, 0), sOk);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(chime->play(0, 0, -3000, 50000, 0), sOk);
    }

    auto* first = dynamic_cast<openal::OpenAlBuffer*>(chime->getBuffer(0));
    ASSERT_NE(first, nullptr);
    openal::AlOutput* output = first->output;
    for (int round = 0; round < 3; ++round) {
        letGo = LetGo{};
        for (Sound* sound : {chime.get(), music.get()}) {
            for (std::uint32_t i = 0; i < sound->bufferCount; ++i) {
                auto* entry = dynamic_cast<openal::OpenAlBuffer*>(sound->getBuffer(i));
                letGo.sources.push_back(entry->source);
            }
            letGo.buffers.push_back(dynamic_cast<openal::OpenAlBuffer*>(sound->getBuffer(0))->samples->name);
        }
        ASSERT_TRUE(openal::reopenOutput(output, [](openal::AlOutput*, bool clean) {
            letGo.clean = clean;
            letGo.sourcesLeft = static_cast<int>(std::count_if(letGo.sources.begin(), letGo.sources.end(),
                                                               [](ALuint s) { return alIsSource(s) == AL_TRUE; }));
            letGo.buffersLeft = static_cast<int>(std::count_if(letGo.buffers.begin(), letGo.buffers.end(),
                                                               [](ALuint b) { return alIsBuffer(b) == AL_TRUE; }));
            letGo.errorLeft = alGetError();
        }));
        EXPECT_TRUE(letGo.clean) << "round " << round;
        EXPECT_EQ(letGo.sourcesLeft, 0) << "round " << round;
        EXPECT_EQ(letGo.buffersLeft, 0) << "round " << round;
        EXPECT_EQ(letGo.errorLeft, AL_NO_ERROR) << "round " << round;
        EXPECT_EQ(first->samples->sourceCount, 10u) << "round " << round;

        // Every buffer is lost until restored and refilled, as after a check
        // that found the output gone.
        std::uint32_t lostStatus = 0;
        ASSERT_EQ(chime->getBuffer(9)->getStatus(&lostStatus), sOk);
        EXPECT_EQ(lostStatus, dsbStatusBufferLost);
        for (Sound* sound : {chime.get(), music.get()}) {
            for (std::uint32_t i = 0; i < sound->bufferCount; ++i) {
                bool restored = false;
                ASSERT_GE(sound->restoreBuffer(sound->getBuffer(i), &restored), 0);
                if (restored) {
                    ASSERT_EQ(sound->fillBuffer(sound->getBuffer(i)), sOk);
                }
            }
        }
        ASSERT_EQ(music->play(0, dsbPlayLooping, 0, -1, 0), sOk);
        for (int i = 0; i < 10; ++i) {
            ASSERT_EQ(chime->play(0, 0, -3000, 50000, 0), sOk);
        }
        for (std::uint32_t i = 0; i < 10; ++i) {
            std::uint32_t status = 0;
            ASSERT_EQ(chime->getBuffer(i)->getStatus(&status), sOk);
            EXPECT_EQ(status & dsbStatusPlaying, dsbStatusPlaying) << "chime buffer " << i << ", round " << round;
            OpenAlSourceState state;
            ASSERT_TRUE(inspectOpenAlBuffer(chime->getBuffer(i), &state));
            EXPECT_EQ(state.alBufferBytes, 8000);
            EXPECT_NEAR(state.gain, gainFromVolume(-3000), 1e-6f) << "the source keeps its volume";
        }
        EXPECT_TRUE(music->isPlaying());
        EXPECT_EQ(alGetError(), AL_NO_ERROR);
    }
    chime.reset();
    music.reset();
    manager.directSound->release();
}

}  // namespace
