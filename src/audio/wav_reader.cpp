#include "audio/wav_reader.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr std::uint32_t fourCcWave = makeFourCc('W', 'A', 'V', 'E');
constexpr std::uint32_t fourCcFmt = makeFourCc('f', 'm', 't', ' ');
constexpr std::uint32_t fourCcData = makeFourCc('d', 'a', 't', 'a');

std::uint16_t readLe16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

std::uint32_t readLe32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

WavReader::~WavReader()
{
    close();
    freeFormat();
}

void WavReader::freeFormat()
{
    format = nullptr;
    formatRecord.reset();
}

const std::uint8_t* WavReader::extraBytes() const
{
    if (format == nullptr) return nullptr;
    return reinterpret_cast<const std::uint8_t*>(formatRecord.get()) + sizeof(WaveFormatEx);
}

HResult WavReader::open(const char* name)
{
    if (name == nullptr) return eInvalidArg;
    close();
    freeFormat();
    dataSize = 0;
    handle.reset(new (std::nothrow) RiffReader);
    if (!handle) return eOutOfMemory;
    // Linux programs carry no sound resources: a name that cannot be opened
    // as a file is simply not there.
    if (!handle->openFile(name)) {
        handle.reset();
        return eFail;
    }
    return finishOpen();
}

HResult WavReader::openMemory(const void* data, std::size_t size)
{
    if (data == nullptr && size != 0) return eInvalidArg;
    close();
    freeFormat();
    dataSize = 0;
    resourceCopy.reset(new (std::nothrow) std::uint8_t[size > 0 ? size : 1]);
    handle.reset(new (std::nothrow) RiffReader);
    if (!resourceCopy || !handle) {
        close();
        return eOutOfMemory;
    }
    if (size > 0) std::memcpy(resourceCopy.get(), data, size);
    if (!handle->openMemory(resourceCopy.get(), size)) {
        close();
        return eFail;
    }
    return finishOpen();
}

HResult WavReader::finishOpen()
{
    const HResult header = readHeader();
    if (failed(header)) {
        close();
        return header;
    }
    // Without a "data" chunk the file stays open with its format, and the
    // data size stays 0: that is how the caller tells the open failed.
    const HResult hr = rewind();
    if (failed(hr)) return hr;
    dataSize = dataChunk.size;
    return sOk;
}

HResult WavReader::readHeader()
{
    freeFormat();
    if (!handle->descend(riffChunk, nullptr) || riffChunk.id != fourCcRiff ||
        riffChunk.formType != fourCcWave) {
        return eFail;
    }

    RiffChunk fmt;
    fmt.id = fourCcFmt;
    if (!handle->findChunk(fmt, &riffChunk) || fmt.size < 16) return eFail;

    std::uint8_t head[16];
    if (handle->read(head, 16) != 16) return eFail;

    std::uint16_t extraSize = 0;
    WaveFormatEx record;
    record.formatTag = readLe16(head);
    record.channels = readLe16(head + 2);
    record.samplesPerSec = readLe32(head + 4);
    record.avgBytesPerSec = readLe32(head + 8);
    record.blockAlign = readLe16(head + 12);
    record.bitsPerSample = readLe16(head + 14);
    if (record.formatTag != waveFormatPcm) {
        std::uint8_t sizeBytes[2];
        // The extra-size field and the extra bytes must lie inside the chunk.
        if (fmt.size < 18 || handle->read(sizeBytes, 2) != 2) return eFail;
        extraSize = readLe16(sizeBytes);
        if (18u + extraSize > fmt.size) return eFail;
    }
    record.extraSize = extraSize;

    formatRecord.reset(new (std::nothrow) std::byte[sizeof(WaveFormatEx) + extraSize]);
    if (!formatRecord) return eFail;
    format = new (formatRecord.get()) WaveFormatEx(record);
    if (extraSize > 0 &&
        handle->read(formatRecord.get() + sizeof(WaveFormatEx), extraSize) != extraSize) {
        freeFormat();
        return eFail;
    }

    if (!handle->ascend(fmt)) {
        freeFormat();
        return eFail;
    }
    return sOk;
}

HResult WavReader::rewind()
{
    if (!handle) return coENotInitialized;
    if (!handle->seek(riffChunk.dataOffset + 4)) return eFail;
    RiffChunk data;
    data.id = fourCcData;
    if (!handle->findChunk(data, &riffChunk)) {
        dataChunk = RiffChunk{};
        return eFail;
    }
    dataChunk = data;
    return sOk;
}

HResult WavReader::read(void* destination, std::uint32_t count, std::uint32_t* bytesRead)
{
    if (!handle) return coENotInitialized;
    if (destination == nullptr || bytesRead == nullptr) return eInvalidArg;
    *bytesRead = 0;

    RiffIoInfo info;
    if (!handle->getInfo(info)) return eFail;

    const std::uint32_t n = std::min(count, dataChunk.size);
    dataChunk.size -= n;

    auto* out = static_cast<std::uint8_t*>(destination);
    std::uint32_t copied = 0;
    while (copied < n) {
        if (info.next == info.endRead) {
            // The file ended before its data chunk said (it can only have
            // shrunk since it was opened).
            if (!handle->advance(info) || info.next == info.endRead) return eFail;
        }
        const auto available = static_cast<std::uint32_t>(
            std::min<std::ptrdiff_t>(info.endRead - info.next, n - copied));
        std::memcpy(out + copied, info.next, available);
        info.next += available;
        copied += available;
    }

    if (!handle->setInfo(info)) return eFail;
    *bytesRead = n;
    return sOk;
}

HResult WavReader::close()
{
    handle.reset();
    resourceCopy.reset();
    return sOk;
}
