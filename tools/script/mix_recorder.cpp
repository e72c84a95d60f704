#include "mix_recorder.h"

#include <cerrno>
#include <cmath>
#include <cstring>

namespace {

constexpr std::uint32_t headerBytes = 44;
constexpr std::uint16_t bitsPerSample = 16;
constexpr std::uint32_t blockAlign = loopbackChannels * bitsPerSample / 8;
// The RIFF size field counts the 36 header bytes after it as well.
constexpr std::uint64_t largestData = 0xFFFFFFFFull - (headerBytes - 8) - 1;

void put16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::uint8_t* p, std::uint32_t v)
{
    put16(p, v & 0xFFFFu);
    put16(p + 2, v >> 16);
}

void makeHeader(std::uint8_t* h, std::uint32_t dataBytes)
{
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, headerBytes - 8 + dataBytes);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16);
    put16(h + 20, 1);  // PCM
    put16(h + 22, loopbackChannels);
    put32(h + 24, loopbackRate);
    put32(h + 28, loopbackRate * blockAlign);
    put16(h + 32, blockAlign);
    put16(h + 34, bitsPerSample);
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, dataBytes);
}

std::int16_t toPcm(float v)
{
    const float scaled = std::nearbyint(v * 32768.0f);
    if (!(scaled > -32768.0f)) return -32768;  // NaN too
    if (scaled > 32767.0f) return 32767;
    return static_cast<std::int16_t>(scaled);
}

}  // namespace

MixRecorder::~MixRecorder()
{
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

bool MixRecorder::open(const std::string& path, std::string& error)
{
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    path_ = path;
    std::uint8_t header[headerBytes];
    makeHeader(header, 0);
    writeFailed_ = std::fwrite(header, 1, sizeof header, file_) != sizeof header;
    return true;
}

void MixRecorder::renderFrame()
{
    renderOpenAlLoopback(mix_, framesPerGameFrame);
    for (std::uint32_t i = 0; i < samplesPerGameFrame; ++i) {
        pcm_[i] = toPcm(mix_[i]);
    }
    ++rendered_;
    if (file_ == nullptr || writeFailed_ || full_) {
        return;
    }
    // The header's sizes are 32-bit: a recording stops at 4 GiB (6.7 hours).
    if (dataBytes_ + sizeof pcm_ > largestData) {
        full_ = true;
        std::fprintf(stderr, "glimmerfall-script: %s is full (4 GiB); the rest of the sound is not recorded\n",
                     path_.c_str());
        return;
    }
    std::uint8_t bytes[sizeof pcm_];
    for (std::uint32_t i = 0; i < samplesPerGameFrame; ++i) {
        put16(bytes + 2 * i, static_cast<std::uint16_t>(pcm_[i]));
    }
    if (std::fwrite(bytes, 1, sizeof bytes, file_) != sizeof bytes) {
        writeFailed_ = true;
        return;
    }
    dataBytes_ += sizeof bytes;
}

bool MixRecorder::finish(std::string& error)
{
    if (file_ == nullptr) {
        return true;
    }
    std::uint8_t header[headerBytes];
    makeHeader(header, static_cast<std::uint32_t>(dataBytes_));
    bool ok = !writeFailed_ && std::fseek(file_, 0, SEEK_SET) == 0 &&
              std::fwrite(header, 1, sizeof header, file_) == sizeof header;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    if (!ok) {
        error = failureText();
    }
    return ok;
}
