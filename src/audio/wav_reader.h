#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "audio/hresult.h"
#include "audio/riff_reader.h"

constexpr std::uint16_t waveFormatPcm = 1;

// The format record of a sound: 18 bytes, laid out as in the file's "fmt "
// chunk followed by the size of the extra bytes that come right after it.
#pragma pack(push, 2)
struct WaveFormatEx {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;
};
#pragma pack(pop)
static_assert(sizeof(WaveFormatEx) == 18);

// Opens a RIFF/WAVE sound, reads its format record and streams the bytes of
// its "data" chunk. A sound keeps its reader open for its whole life and
// rewinds it whenever a buffer has to be filled again.
class WavReader {
public:
    WavReader() = default;
    ~WavReader();
    WavReader(const WavReader&) = delete;
    WavReader& operator=(const WavReader&) = delete;

    // Opens a file by name. On success `format` and `dataSize` are valid and
    // the reader stands at the first data byte. A name that cannot be opened
    // fails with eFail.
    HResult open(const char* name);
    // The same over a copy of a block of memory (kept in `resourceCopy`).
    HResult openMemory(const void* data, std::size_t size);
    // Back to the first data byte, with the whole data size to read again.
    HResult rewind();
    // Copies up to `count` data bytes; *bytesRead tells how many.
    HResult read(void* destination, std::uint32_t count, std::uint32_t* bytesRead);
    HResult close();

    // Size of the format record: 18 plus the extra bytes (0 without a record).
    std::uint32_t formatSize() const { return format != nullptr ? 18u + format->extraSize : 0u; }
    // The extra bytes after the 18-byte head, or null without a record.
    const std::uint8_t* extraBytes() const;

    WaveFormatEx* format = nullptr;  // lives in formatRecord; null until a header was read
    std::unique_ptr<RiffReader> handle;  // the open file; null when closed
    RiffChunk dataChunk;                 // its size counts the data bytes still to read
    RiffChunk riffChunk;                 // the outer "RIFF" chunk
    std::uint32_t dataSize = 0;          // data chunk size after a successful open, else 0
    std::unique_ptr<std::uint8_t[]> resourceCopy;  // the memory block opened from, if any

private:
    HResult finishOpen();
    HResult readHeader();
    void freeFormat();

    std::unique_ptr<std::byte[]> formatRecord;  // 18 + extra size bytes
};
