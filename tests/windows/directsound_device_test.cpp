// The DirectSound device: the game's whole sound start-up over a fake of
// DirectSound's interfaces, for what Wine cannot show (buffers lost and
// restored, the window whose focus DirectSound follows), and over Wine's
// real DirectSound on a device that plays nothing.
#include "audio/directsound_device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "audio/audio_startup.h"
#include "data_folder.h"
#include "audio/game_sounds.h"
#include "audio/sound.h"
#include "audio/sound_manager.h"
#include "audio/sound_output.h"
#include "audio/wav_reader.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// What the fake DirectSound saw, in order ("SetVolume -3000" and the like).
std::vector<std::string> calls;

class FakeBuffer final : public IDirectSoundBuffer {
public:
    FakeBuffer(const DSBUFFERDESC& d, std::shared_ptr<Bytes> memory) : desc(d), data(std::move(memory))
    {
        if (d.lpwfxFormat != nullptr) format = *d.lpwfxFormat;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE GetCaps(LPDSBCAPS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCurrentPosition(LPDWORD, LPDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFormat(LPWAVEFORMATEX, DWORD, LPDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetVolume(LPLONG v) override { *v = volume; return DS_OK; }
    HRESULT STDMETHODCALLTYPE GetPan(LPLONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFrequency(LPDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStatus(LPDWORD s) override { *s = status; return DS_OK; }
    HRESULT STDMETHODCALLTYPE Initialize(LPDIRECTSOUND, LPCDSBUFFERDESC) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Lock(DWORD offset, DWORD bytes, LPVOID* p1, LPDWORD n1, LPVOID* p2, LPDWORD n2,
                                   DWORD) override
    {
        if ((status & DSBSTATUS_BUFFERLOST) != 0) return DSERR_BUFFERLOST;
        calls.push_back("Lock " + std::to_string(bytes));
        *p1 = data->data() + offset;
        *n1 = bytes;
        if (p2 != nullptr) *p2 = nullptr;
        if (n2 != nullptr) *n2 = 0;
        return DS_OK;
    }
    HRESULT STDMETHODCALLTYPE Play(DWORD, DWORD, DWORD flags) override
    {
        if ((status & DSBSTATUS_BUFFERLOST) != 0) return DSERR_BUFFERLOST;
        calls.push_back("Play " + std::to_string(flags));
        status |= DSBSTATUS_PLAYING | ((flags & DSBPLAY_LOOPING) != 0 ? DSBSTATUS_LOOPING : 0);
        return DS_OK;
    }
    HRESULT STDMETHODCALLTYPE SetCurrentPosition(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetFormat(LPCWAVEFORMATEX f) override
    {
        format = *f;
        return DS_OK;
    }
    HRESULT STDMETHODCALLTYPE SetVolume(LONG v) override
    {
        calls.push_back("SetVolume " + std::to_string(v));
        volume = v;
        return DS_OK;
    }
    HRESULT STDMETHODCALLTYPE SetPan(LONG p) override
    {
        calls.push_back("SetPan " + std::to_string(p));
        return DS_OK;
    }
    HRESULT STDMETHODCALLTYPE SetFrequency(DWORD f) override
    {
        calls.push_back("SetFrequency " + std::to_string(f));
        return DS_OK;
    }
    HRESULT STDMETHODCALLTYPE Stop() override
    {
        calls.emplace_back("Stop");
        status &= ~DWORD{DSBSTATUS_PLAYING | DSBSTATUS_LOOPING};
        return DS_OK;
    }
    HRESULT STDMETHODCALLTYPE Unlock(LPVOID, DWORD bytes, LPVOID, DWORD) override
    {
        calls.push_back("Unlock " + std::to_string(bytes));
        return DS_OK;
    }
    HRESULT STDMETHODCALLTYPE Restore() override
    {
        calls.emplace_back("Restore");
        if (lostRestores > 0) {
            --lostRestores;
            return DSERR_BUFFERLOST;
        }
        status &= ~DWORD{DSBSTATUS_BUFFERLOST};
        return DS_OK;
    }

    DSBUFFERDESC desc;
    WAVEFORMATEX format{};
    std::shared_ptr<Bytes> data;  // shared with duplicates
    ULONG references = 1;
    DWORD status = 0;
    LONG volume = 0;
    int lostRestores = 0;  // Restore answers "still lost" this many times
};

class FakeDirectSound final : public IDirectSound8 {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE CreateSoundBuffer(LPCDSBUFFERDESC d, LPLPDIRECTSOUNDBUFFER out, IUnknown*) override
    {
        buffers.push_back(std::make_unique<FakeBuffer>(*d, std::make_shared<Bytes>(d->dwBufferBytes)));
        *out = buffers.back().get();
        return DS_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCaps(LPDSCAPS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPLPDIRECTSOUNDBUFFER out) override
    {
        auto* o = static_cast<FakeBuffer*>(original);
        buffers.push_back(std::make_unique<FakeBuffer>(o->desc, o->data));
        buffers.back()->format = o->format;
        *out = buffers.back().get();
        return DS_OK;
    }
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND w, DWORD level) override
    {
        window = w;
        cooperativeLevel = level;
        return DS_OK;
    }
    HRESULT STDMETHODCALLTYPE Compact() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSpeakerConfig(LPDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSpeakerConfig(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Initialize(LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE VerifyCertification(LPDWORD) override { return E_NOTIMPL; }

    std::vector<std::unique_ptr<FakeBuffer>> buffers;  // in the order made
    ULONG references = 1;
    HWND window = nullptr;
    DWORD cooperativeLevel = 0;
};

FakeDirectSound* fake = nullptr;
HRESULT createResult = DS_OK;

HRESULT WINAPI createFake(LPCGUID, LPDIRECTSOUND8* out, LPUNKNOWN)
{
    if (FAILED(createResult)) return createResult;
    *out = fake;
    return DS_OK;
}

// The data bytes of a generated sound file.
Bytes wavData(const char* name)
{
    WavReader reader;
    reader.open(name);
    Bytes data(reader.dataSize);
    std::uint32_t read = 0;
    reader.read(data.data(), reader.dataSize, &read);
    return data;
}

// How much louder the loudest 16-bit sample is in `raised` than in `original`,
// in hundredths of a decibel.
double raisedBy(const Bytes& raised, const Bytes& original)
{
    auto peak = [](const Bytes& b) {
        int p = 1;
        for (std::size_t i = 0; i + 1 < b.size(); i += 2) {
            p = std::max(p, std::abs(static_cast<int>(static_cast<std::int16_t>(b[i] | (b[i + 1] << 8)))));
        }
        return p;
    };
    return 2000.0 * std::log10(static_cast<double>(peak(raised)) / peak(original));
}

int sleeps = 0;

class DirectSoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SetCurrentDirectoryA(dataFolder().c_str()));
        calls.clear();
        fakeDevice = std::make_unique<FakeDirectSound>();
        fake = fakeDevice.get();
        createResult = DS_OK;
        setSoundDeviceCreator(nullptr);  // the platform's: DirectSound
        setDirectSoundCreate(createFake);
        setDirectSoundWindow(reinterpret_cast<HWND>(0x4242));
        sleeps = 0;
        gameAudio.thrustLevel = 0;
        soundSleep = [](std::uint32_t milliseconds) { sleeps += static_cast<int>(milliseconds); };
    }
    void TearDown() override
    {
        stopAudio();
        setDirectSoundCreate(nullptr);
    }
    std::unique_ptr<FakeDirectSound> fakeDevice;
};

TEST_F(DirectSoundTest, StartUpSetsThePrimaryFormatAndMakesTheSoundsForTheGameWindow)
{
    ASSERT_EQ(startAudio(), sOk);

    // The sound belongs to the game's window, so DirectSound silences it while
    // another window is active; no buffer asks to be heard regardless.
    EXPECT_EQ(fake->window, reinterpret_cast<HWND>(0x4242));
    EXPECT_EQ(fake->cooperativeLevel, DWORD{DSSCL_PRIORITY});
    ASSERT_EQ(fake->buffers.size(), 1u + 10 + 1 + 1);
    const FakeBuffer& primary = *fake->buffers[0];
    EXPECT_EQ(primary.desc.dwFlags, DWORD{DSBCAPS_PRIMARYBUFFER});
    EXPECT_EQ(primary.desc.dwBufferBytes, 0u);
    EXPECT_EQ(primary.desc.lpwfxFormat, nullptr);
    EXPECT_EQ(primary.format.nChannels, 10);
    EXPECT_EQ(primary.format.nSamplesPerSec, 22050u);
    EXPECT_EQ(primary.format.nBlockAlign, 20);
    EXPECT_EQ(primary.format.nAvgBytesPerSec, 441000u);
    EXPECT_EQ(primary.references, 0u);  // released once the format is set

    const char* files[] = {"pickup.wav", "thrust.wav", "MUSIC.wav"};
    const std::size_t firsts[] = {1, 11, 12};
    for (int s = 0; s < 3; ++s) {
        const FakeBuffer& b = *fake->buffers[firsts[s]];
        const Bytes data = wavData(files[s]);
        EXPECT_EQ(b.desc.dwFlags, DWORD{DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY}) << files[s];
        EXPECT_EQ(b.desc.dwFlags & (DSBCAPS_GLOBALFOCUS | DSBCAPS_STICKYFOCUS), 0u);
        EXPECT_EQ(b.desc.dwBufferBytes, data.size()) << files[s];
        EXPECT_EQ(b.format.nSamplesPerSec, 22050u) << files[s];
        EXPECT_GE(raisedBy(*b.data, data), 0.0) << files[s] << " filled from its file";
    }
    // The output is 23 dB up: the music's samples have room for all of it,
    // so it plays at DirectSound's full volume.
    const double musicRaise = raisedBy(*fake->buffers[12]->data, wavData("MUSIC.wav"));
    EXPECT_NEAR(musicRaise, 2300.0, 1.0);
    EXPECT_EQ(fake->buffers[12]->volume, 0);
    for (std::size_t i = 2; i <= 10; ++i) {
        EXPECT_EQ(fake->buffers[i]->data, fake->buffers[1]->data) << "pickup duplicate " << i << " shares the data";
    }
    EXPECT_EQ(fake->buffers[12]->status, DWORD{DSBSTATUS_PLAYING | DSBSTATUS_LOOPING});

    // Focus changes leave the buffers to DirectSound: nothing is stopped.
    muteSoundOutput(true);
    muteSoundOutput(false);
    checkSoundOutput();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Stop"), 0);
    EXPECT_EQ(fake->buffers[12]->status, DWORD{DSBSTATUS_PLAYING | DSBSTATUS_LOOPING});

    stopAudio();
    for (const auto& b : fake->buffers) {
        EXPECT_EQ(b->references, 0u);
    }
    EXPECT_EQ(fake->references, 0u);
}

TEST_F(DirectSoundTest, ALostBufferIsRestoredAndRefilledBeforeItPlays)
{
    ASSERT_EQ(startAudio(), sOk);
    FakeBuffer& pickup = *fake->buffers[1];
    const Bytes data = *pickup.data;
    std::fill(pickup.data->begin(), pickup.data->end(), std::uint8_t{0x55});  // its memory went away
    pickup.status = DSBSTATUS_BUFFERLOST;
    pickup.lostRestores = 2;
    calls.clear();

    EXPECT_EQ(gameAudio.pickupSound->play(0, 0, -3000, 50000, 0), sOk);

    EXPECT_EQ(*pickup.data, data);
    // The chime at −30 dB, 23 dB up: what its samples did not take, the
    // buffer's volume does.
    const double raise = raisedBy(data, wavData("pickup.wav"));
    EXPECT_NEAR(raise + pickup.volume, -3000 + 2300, 2.0);
    // Restore, and after a "still lost" 10 ms and Restore again, in rounds
    // until the second of a round finds it back.
    EXPECT_EQ(sleeps, 10);
    const std::vector<std::string> expected = {
        "Restore", "Restore", "Restore", "Restore",
        "Lock " + std::to_string(data.size()), "Unlock " + std::to_string(data.size()),
        "SetVolume 0",  // the raised samples at the buffer's volume so far (full)
        "SetVolume " + std::to_string(pickup.volume), "SetFrequency 50000", "Play 0"};  // no pan: not asked for
    EXPECT_EQ(calls, expected);
}

TEST_F(DirectSoundTest, WithoutDirectSoundStartUpFailsAndMakesNoSound)
{
    createResult = DSERR_NODRIVER;
    EXPECT_EQ(startAudio(), static_cast<HResult>(DSERR_NODRIVER));
    EXPECT_EQ(gameAudio.soundManager.directSound, nullptr);
    EXPECT_EQ(gameAudio.musicSound, nullptr);
    EXPECT_TRUE(fake->buffers.empty());
}

// A hidden window of this program, which the real DirectSound takes as the
// sound's window.
class HiddenWindow {
public:
    HiddenWindow()
        : window_(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr, nullptr, nullptr))
    {
    }
    ~HiddenWindow() { DestroyWindow(window_); }
    HiddenWindow(const HiddenWindow&) = delete;
    HiddenWindow& operator=(const HiddenWindow&) = delete;
    HWND get() const { return window_; }

private:
    HWND window_;
};

TEST_F(DirectSoundTest, WinesDirectSoundPlaysTheGamesSounds)
{
    HiddenWindow window;
    setDirectSoundWindow(window.get());
    setDirectSoundCreate(nullptr);
    ASSERT_EQ(startAudio(), sOk) << "no sound device (the session's ALSA default plays nothing)";
    ASSERT_NE(gameAudio.musicSound, nullptr);
    ASSERT_NE(gameAudio.pickupSound, nullptr);
    ASSERT_NE(gameAudio.thrustSound, nullptr);

    DWORD status = 0;
    directSoundBufferOf(gameAudio.musicSound->getBuffer(0))->GetStatus(&status);
    EXPECT_EQ(status & (DSBSTATUS_PLAYING | DSBSTATUS_LOOPING), DWORD{DSBSTATUS_PLAYING | DSBSTATUS_LOOPING});

    // The ten pickup buffers share one memory, filled from the file.
    Bytes held[2];
    for (int k = 0; k < 2; ++k) {
        IDirectSoundBuffer* b = directSoundBufferOf(gameAudio.pickupSound->getBuffer(k == 0 ? 0 : 9));
        void* p = nullptr;
        DWORD n = 0;
        ASSERT_EQ(b->Lock(0, 0, &p, &n, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
        held[k].assign(static_cast<std::uint8_t*>(p), static_cast<std::uint8_t*>(p) + n);
        b->Unlock(p, n, nullptr, 0);
    }
    EXPECT_EQ(held[0], held[1]);
    const double raise = raisedBy(held[0], wavData("pickup.wav"));
    EXPECT_GE(raise, 0.0);

    // A chime as the game plays one, and the eleventh while ten sound.
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(gameAudio.pickupSound->play(0, 0, -3000, 50000, 0), sOk);
    }
    for (std::uint32_t i = 0; i < 10; ++i) {
        IDirectSoundBuffer* b = directSoundBufferOf(gameAudio.pickupSound->getBuffer(i));
        LONG volume = 0;
        DWORD frequency = 0;
        b->GetVolume(&volume);
        b->GetFrequency(&frequency);
        EXPECT_NEAR(volume + raise, -3000 + 2300, 2.0) << i;
        EXPECT_EQ(frequency, 50000u) << i;
    }

    // Thirty frames of thrust raise the engine to −20 dB, 23 dB up.
    for (int frame = 0; frame < 30; ++frame) {
        updateThrustSound(gameAudio, true);
    }
    IDirectSoundBuffer* engine = directSoundBufferOf(gameAudio.thrustSound->getBuffer(0));
    void* p = nullptr;
    DWORD n = 0;
    ASSERT_EQ(engine->Lock(0, 0, &p, &n, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
    const Bytes engineSamples(static_cast<std::uint8_t*>(p), static_cast<std::uint8_t*>(p) + n);
    engine->Unlock(p, n, nullptr, 0);
    LONG volume = 0;
    engine->GetVolume(&volume);
    EXPECT_NEAR(volume + raisedBy(engineSamples, wavData("thrust.wav")), -2000 + 2300, 2.0);
}

}  // namespace
