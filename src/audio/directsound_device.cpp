#include "audio/directsound_device.h"

#include <cstring>
#include <new>

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

class DirectSoundBufferEntry final : public SoundBuffer {
public:
    explicit DirectSoundBufferEntry(IDirectSoundBuffer* buffer) : buffer_(buffer) {}

    IDirectSoundBuffer* buffer() const { return buffer_; }

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
    HResult setVolume(std::int32_t volume) override { return buffer_->SetVolume(volume); }
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
    HResult unlock(void* region1, std::uint32_t bytes1, void* region2, std::uint32_t bytes2) override
    {
        return buffer_->Unlock(region1, bytes1, region2, bytes2);
    }
    HResult restore() override { return buffer_->Restore(); }
    void release() override
    {
        buffer_->Release();
        delete this;
    }

private:
    ~DirectSoundBufferEntry() override = default;

    IDirectSoundBuffer* buffer_;
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
        IDirectSoundBuffer* made = nullptr;
        const HRESULT hr = device_->CreateSoundBuffer(&d, &made, nullptr);
        return wrap(hr, made, buffer);
    }

    HResult duplicateSoundBuffer(SoundBuffer* original, SoundBuffer** duplicate) override
    {
        auto* entry = dynamic_cast<DirectSoundBufferEntry*>(original);
        if (entry == nullptr || duplicate == nullptr) return eInvalidArg;
        IDirectSoundBuffer* made = nullptr;
        const HRESULT hr = device_->DuplicateSoundBuffer(entry->buffer(), &made);
        return wrap(hr, made, duplicate);
    }

    void release() override
    {
        device_->Release();
        delete this;
    }

    // DirectSound silences the buffers of a window that is not the active
    // one by itself; the output never needs halting here.
    HResult pause() override { return sOk; }
    HResult resume() override { return sOk; }
    // A lost output shows as lost buffers (dsErrBufferLost), which the
    // sounds restore and refill before they play.
    HResult checkOutput() override { return sOk; }

private:
    ~DirectSoundDevice() override = default;

    // Hands out a made buffer (keeping a result such as dsNoVirtualization).
    static HResult wrap(HRESULT hr, IDirectSoundBuffer* made, SoundBuffer** out)
    {
        if (FAILED(hr) || made == nullptr) {
            *out = nullptr;
            return FAILED(hr) ? hr : eFail;
        }
        auto* entry = new (std::nothrow) DirectSoundBufferEntry(made);
        if (entry == nullptr) {
            made->Release();
            *out = nullptr;
            return eOutOfMemory;
        }
        *out = entry;
        return hr;
    }

    IDirectSound8* device_;
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
