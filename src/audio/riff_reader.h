#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

// A four-character chunk identifier as it lies in the file ("RIFF" reads as
// 'R' | 'I' << 8 | 'F' << 16 | 'F' << 24).
constexpr std::uint32_t makeFourCc(char a, char b, char c, char d)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(a)) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(d)) << 24;
}

constexpr std::uint32_t fourCcRiff = makeFourCc('R', 'I', 'F', 'F');
constexpr std::uint32_t fourCcList = makeFourCc('L', 'I', 'S', 'T');

// One chunk of a RIFF file: where its data starts and how many data bytes it
// has. The size is what the header claims, cut down to what its parent and
// the file actually hold, so a reader never trusts a size beyond the bytes
// that are there.
struct RiffChunk {
    std::uint32_t id = 0;          // identifier; the one searched for by findChunk
    std::uint32_t size = 0;        // data bytes (bounded, see above)
    std::uint32_t declaredSize = 0;  // the size its header claims
    std::uint32_t formType = 0;    // form type of a "RIFF" or "LIST" chunk
    std::uint64_t dataOffset = 0;  // file offset of the data (the form type of a RIFF chunk)

    std::uint64_t end() const { return dataOffset + size; }
};

// The state of the reader's I/O buffer, handed out so that a caller can read
// many small pieces straight from the buffer: bytes from `next` up to
// `endRead` are the file's bytes at `bufferOffset + (next - buffer)` onwards.
struct RiffIoInfo {
    const std::uint8_t* buffer = nullptr;
    const std::uint8_t* next = nullptr;
    const std::uint8_t* endRead = nullptr;
    std::uint64_t bufferOffset = 0;  // file offset of buffer[0]
};

// A read-only RIFF chunk reader over a file or a block of memory. A file is
// read through an I/O buffer of its own; a memory block is its own buffer.
class RiffReader {
public:
    // Sibling chunks examined by one findChunk before it gives up.
    static constexpr std::uint32_t maxChunksSearched = 4096;
    static constexpr std::size_t fileBufferBytes = 8192;

    RiffReader() = default;
    ~RiffReader();
    RiffReader(const RiffReader&) = delete;
    RiffReader& operator=(const RiffReader&) = delete;

    // Opens a file for reading; false if it cannot be opened.
    bool openFile(const char* path);
    // Reads from a memory block that stays owned by the caller and must
    // outlive the reader's use of it.
    bool openMemory(const std::uint8_t* data, std::size_t size);
    void close();
    bool isOpen() const { return file != nullptr || memory != nullptr; }

    std::uint64_t size() const { return fileSize; }
    std::uint64_t tell() const { return bufferOffset + position; }

    // Moves to an absolute offset; false (position unchanged) beyond the end.
    bool seek(std::uint64_t offset);
    // Copies up to `count` bytes; returns how many were copied.
    std::size_t read(void* destination, std::size_t count);

    // Reads the chunk header at the current position into `chunk` (and the
    // form type of a "RIFF" or "LIST" chunk), leaving the position at the
    // chunk's data (after the form type). The header must lie inside `parent`
    // when one is given, and inside the file.
    bool descend(RiffChunk& chunk, const RiffChunk* parent);
    // Searches the chunks from the current position for the identifier in
    // `chunk.id`, skipping each sibling (and its pad byte), until it matches,
    // the parent or the file ends, or maxChunksSearched chunks were passed.
    bool findChunk(RiffChunk& chunk, const RiffChunk* parent);
    // Moves to the end of `chunk`, past its pad byte when its size is odd.
    bool ascend(const RiffChunk& chunk);

    // Buffered access: take the buffer state, consume bytes from it, refill it
    // with advance when `next` reaches `endRead`, and give it back with
    // setInfo. After advance an empty buffer means the file has ended.
    bool getInfo(RiffIoInfo& info) const;
    bool advance(RiffIoInfo& info);
    bool setInfo(const RiffIoInfo& info);

private:
    bool fill(std::uint64_t offset);  // loads the file buffer from `offset`
    bool readHeader(RiffChunk& chunk, std::uint64_t limit);

    std::FILE* file = nullptr;
    std::unique_ptr<std::uint8_t[]> fileBuffer;
    const std::uint8_t* memory = nullptr;
    const std::uint8_t* buffer = nullptr;  // fileBuffer or memory
    std::uint64_t fileSize = 0;
    std::uint64_t bufferOffset = 0;  // file offset of buffer[0]
    std::size_t bufferFill = 0;      // valid bytes in buffer
    std::size_t position = 0;        // next byte, relative to buffer
};
