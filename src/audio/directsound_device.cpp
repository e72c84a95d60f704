#include "audio/directsound_device.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "audio/output_gain.h"

namespace {

HWND soundWindow = nullptr;
DirectSoundCreateFunction directSoundCreate = DirectSoundCreate8;

static_assert(sizeof(WAVEFORMATEX) == sizeof(WaveFormatEx));

WAVEFORMATEX toWaveFormat(const WaveFormatEx& f)
{
    WAVEFORMATEX w{};
    w.wFormatTag = f.formatTag;
    w.nChannels = f.channels;
    w.nSamplesPerSec = f.samplesPerSec;
    w.nAvgBytesPerSec = f.avgBytesPerSec;
    w.nBlockAlign = f.blockAlign;
    w.wBitsPerSample = f.bitsPerSample;
    w.cbSize = 0;  // the sounds are plain PCM: no extra bytes
    return w;
}

GUID toGuid(const Guid& g)
{
    GUID out{};
    out.Data1 = g.data1;
    out.Data2 = g.data2;
    out.Data3 = g.data3;
    std::memcpy(out.Data4, g.data4, sizeof out.Data4);
    return out;
}

// The mix is raised by outputGainDb on its way out, as on every platform,
// but a DirectSound buffer can only be turned down. So the raise goes into
// the samples as far as they have room below full scale (the quiet music and
// engine all of it, the chime next to none), and the buffer's volume makes up
// the rest: volume + output gain − what the samples took.
constexpr std::int32_t outputGain = static_cast<std::int32_t>(outputGainDb * 100.0f);

class DirectSoundBufferEntry;

// What every buffer of one device shares: the player's master volume, and the
// buffers themselves, which a new master volume reaches.
struct Mix {
    std::int32_t masterVolume = 0;
    std::vector<DirectSoundBufferEntry*> entries;
};

// What a buffer and its duplicates share besides their memory.
struct SampleGain {
    std::uint16_t bitsPerSample = 16;
    std::int32_t applied = 0;  // hundredths of a decibel already in the samples
};

// Raises the samples by as much of the output gain as they have room for
// (8- or 16-bit PCM); returns what was applied, in hundredths of a decibel.
std::int32_t raiseSamples(std::uint8_t* bytes, std::uint32_t count, std::uint16_t bitsPerSample)
{
    const bool eightBit = bitsPerSample == 8;
    const std::uint32_t step = eightBit ? 1 : 2;
    const double fullScale = eightBit ? 127.0 : 32767.0;
    auto sample = [&](std::uint32_t i) -> int {
        if (eightBit) return bytes[i] - 128;
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[i] | (bytes[i + 1] << 8)));
    };
    int peak = 0;
    for (std::uint32_t i = 0; i + step <= count; i += step) {
        peak = std::max(peak, std::abs(sample(i)));
    }
    if (peak == 0) return 0;
    const auto room = static_cast<std::int32_t>(std::floor(2000.0 * std::log10(fullScale / peak)));
    const std::int32_t gain = std::clamp(room, 0, outputGain);
    const double factor = std::pow(10.0, gain / 2000.0);
    for (std::uint32_t i = 0; i + step <= count; i += step) {
        const long v = std::clamp(std::lround(sample(i) * factor), -static_cast<long>(fullScale) - 1,
                                  static_cast<long>(fullScale));
        if (eightBit) {
            bytes[i] = static_cast<std::uint8_t>(v + 128);
        } else {
            bytes[i] = static_cast<std::uint8_t>(v & 0xFF);
            bytes[i + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
        }
    }
    return gain;
}

class DirectSoundBufferEntry final : public SoundBuffer {
public:
    DirectSoundBufferEntry(IDirectSoundBuffer* buffer, std::shared_ptr<SampleGain> gain, std::shared_ptr<Mix> mix)
        : buffer_(buffer), gain_(std::move(gain)), mix_(std::move(mix))
    {
        mix_->entries.push_back(this);
    }

    // Sends DirectSound the volume again (a new master volume).
    void refreshVolume()
    {
        if (gain_ != nullptr) buffer_->SetVolume(deviceVolume());
    }

    IDirectSoundBuffer* buffer() const { return buffer_; }
    const std::shared_ptr<SampleGain>& gain() const { return gain_; }

    HResult setFormat(const WaveFormatEx& format) override
    {
        const WAVEFORMATEX w = toWaveFormat(format);
        return buffer_->SetFormat(&w);
    }
    HResult play(std::uint32_t reserved, std::uint32_t priority, std::uint32_t flags) override
    {
        return buffer_->Play(reserved, priority, flags);
    }
    HResult getStatus(std::uint32_t* status) override
    {
        DWORD s = 0;
        const HRESULT hr = buffer_->GetStatus(&s);
        if (status != nullptr) *status = s;
        return hr;
    }
    HResult setVolume(std::int32_t volume) override
    {
        volume_ = volume;
        return buffer_->SetVolume(deviceVolume());
    }
    HResult setFrequency(std::uint32_t frequency) override { return buffer_->SetFrequency(frequency); }
    HResult setPan(std::int32_t pan) override { return buffer_->SetPan(pan); }
    HResult lock(std::uint32_t offset, std::uint32_t bytes, void** region1, std::uint32_t* bytes1, void** region2,
                 std::uint32_t* bytes2, std::uint32_t flags) override
    {
        DWORD n1 = 0;
        DWORD n2 = 0;
        const HRESULT hr = buffer_->Lock(offset, bytes, region1, &n1, region2, region2 != nullptr ? &n2 : nullptr, flags);
        if (bytes1 != nullptr) *bytes1 = n1;
        if (bytes2 != nullptr) *bytes2 = n2;
        return hr;
    }
    // A sound writes its whole buffer in one lock; its samples are raised
    // here, before DirectSound has them.
    HResult unlock(void* region1, std::uint32_t bytes1, void* region2, std::uint32_t bytes2) override
    {
        const bool raise = gain_ != nullptr && region1 != nullptr && region2 == nullptr;
        if (raise) {
            gain_->applied = raiseSamples(static_cast<std::uint8_t*>(region1), bytes1, gain_->bitsPerSample);
        }
        const HRESULT hr = buffer_->Unlock(region1, bytes1, region2, bytes2);
        if (raise) {
            buffer_->SetVolume(deviceVolume());  // fails harmlessly without volume control
        }
        return hr;
    }
    HResult restore() override { return buffer_->Restore(); }
    void release() override
    {
        std::erase(mix_->entries, this);
        buffer_->Release();
        delete this;
    }

private:
    ~DirectSoundBufferEntry() override = default;

    // DirectSound's volume for the game's: the output gain less what the
    // samples took (the primary buffer, with no samples of its own, as is).
    LONG deviceVolume() const
    {
        if (gain_ == nullptr) return volume_;
        if (volume_ <= dsbVolumeMin || mix_->masterVolume <= dsbVolumeMin) return DSBVOLUME_MIN;
        return std::clamp<LONG>(volume_ + mix_->masterVolume + outputGain - gain_->applied, DSBVOLUME_MIN,
                                DSBVOLUME_MAX);
    }

    IDirectSoundBuffer* buffer_;
    std::shared_ptr<SampleGain> gain_;  // null for the primary buffer
    std::shared_ptr<Mix> mix_;
    std::int32_t volume_ = 0;
};

class DirectSoundDevice final : public SoundDevice {
public:
    explicit DirectSoundDevice(IDirectSound8* device) : device_(device) {}

    HResult setCooperativeLevel(WindowHandle window, std::uint32_t level) override
    {
        HWND w = window != nullptr ? static_cast<HWND>(window) : soundWindow;
        return device_->SetCooperativeLevel(w, level);
    }

    HResult createSoundBuffer(const SoundBufferDesc& desc, SoundBuffer** buffer) override
    {
        if (buffer == nullptr) return eInvalidArg;
        WAVEFORMATEX format{};
        DSBUFFERDESC d{};
        d.dwSize = sizeof d;
        d.dwFlags = desc.flags;
        d.dwBufferBytes = desc.bufferBytes;
        if (desc.format != nullptr) {
            format = toWaveFormat(*desc.format);
            d.lpwfxFormat = &format;
        }
        d.guid3DAlgorithm = toGuid(desc.algorithm3d);
        std::shared_ptr<SampleGain> gain;
        if (desc.format != nullptr) {
            gain = std::make_shared<SampleGain>();
            gain->bitsPerSample = desc.format->bitsPerSample;
        }
        IDirectSoundBuffer* made = nullptr;
        const HRESULT hr = device_->CreateSoundBuffer(&d, &made, nullptr);
        return wrap(hr, made, std::move(gain), mix_, buffer);
    }

    HResult duplicateSoundBuffer(SoundBuffer* original, SoundBuffer** duplicate) override
    {
        auto* entry = dynamic_cast<DirectSoundBufferEntry*>(original);
        if (entry == nullptr || duplicate == nullptr) return eInvalidArg;
        IDirectSoundBuffer* made = nullptr;
        const HRESULT hr = device_->DuplicateSoundBuffer(entry->buffer(), &made);
        return wrap(hr, made, entry->gain(), mix_, duplicate);
    }

    void release() override
    {
        device_->Release();
        delete this;
    }

    // DirectSound itself silences the buffers (made without global focus)
    // while the sound's window is not the active one.
    HResult setMuted(bool) override { return sOk; }
    // The player's volume goes into every buffer's volume.
    HResult setMasterVolume(std::int32_t volume) override
    {
        mix_->masterVolume = std::clamp(volume, dsbVolumeMin, dsbVolumeMax);
        for (DirectSoundBufferEntry* entry : mix_->entries) {
            entry->refreshVolume();
        }
        return sOk;
    }
    // A lost output shows as lost buffers (dsErrBufferLost), which the
    // sounds restore and refill before they play.
    HResult checkOutput() override { return sOk; }

private:
    ~DirectSoundDevice() override = default;

    // Hands out a made buffer (keeping a result such as dsNoVirtualization).
    static HResult wrap(HRESULT hr, IDirectSoundBuffer* made, std::shared_ptr<SampleGain> gain,
                        std::shared_ptr<Mix> mix, SoundBuffer** out)
    {
        if (FAILED(hr) || made == nullptr) {
            *out = nullptr;
            return FAILED(hr) ? hr : eFail;
        }
        auto* entry = new (std::nothrow) DirectSoundBufferEntry(made, std::move(gain), std::move(mix));
        if (entry == nullptr) {
            made->Release();
            *out = nullptr;
            return eOutOfMemory;
        }
        *out = entry;
        return hr;
    }

    IDirectSound8* device_;
    std::shared_ptr<Mix> mix_ = std::make_shared<Mix>();
};

}  // namespace

void setDirectSoundWindow(HWND window) { soundWindow = window; }

void setDirectSoundCreate(DirectSoundCreateFunction create)
{
    directSoundCreate = create != nullptr ? create : DirectSoundCreate8;
}

HResult createDirectSoundDevice(SoundDevice** device)
{
    if (device == nullptr) return eInvalidArg;
    *device = nullptr;
    IDirectSound8* made = nullptr;
    const HRESULT hr = directSoundCreate(nullptr, &made, nullptr);
    if (FAILED(hr) || made == nullptr) {
        return FAILED(hr) ? hr : eFail;
    }
    auto* wrapped = new (std::nothrow) DirectSoundDevice(made);
    if (wrapped == nullptr) {
        made->Release();
        return eOutOfMemory;
    }
    *device = wrapped;
    return sOk;
}

HResult createSystemSoundDevice(SoundDevice** device) { return createDirectSoundDevice(device); }

IDirectSoundBuffer* directSoundBufferOf(SoundBuffer* buffer)
{
    auto* entry = dynamic_cast<DirectSoundBufferEntry*>(buffer);
    return entry != nullptr ? entry->buffer() : nullptr;
}
