#include "audio/riff_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

std::uint32_t readLe32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

const std::uint8_t emptyBlock[1] = {0};

}  // namespace

RiffReader::~RiffReader() { close(); }

bool RiffReader::openFile(const char* path)
{
    close();
    if (path == nullptr) return false;
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) return false;
    struct stat info {};
    if (fstat(fileno(f), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fclose(f);
        return false;
    }
    fileBuffer.reset(new (std::nothrow) std::uint8_t[fileBufferBytes]);
    if (!fileBuffer) {
        std::fclose(f);
        return false;
    }
    file = f;
    buffer = fileBuffer.get();
    fileSize = static_cast<std::uint64_t>(info.st_size);
    bufferOffset = 0;
    bufferFill = 0;
    position = 0;
    return true;
}

bool RiffReader::openMemory(const std::uint8_t* data, std::size_t size)
{
    close();
    if (data == nullptr && size != 0) return false;
    memory = data != nullptr ? data : emptyBlock;
    buffer = memory;
    fileSize = size;
    bufferOffset = 0;
    bufferFill = size;
    position = 0;
    return true;
}

void RiffReader::close()
{
    if (file != nullptr) std::fclose(file);
    file = nullptr;
    fileBuffer.reset();
    memory = nullptr;
    buffer = nullptr;
    fileSize = 0;
    bufferOffset = 0;
    bufferFill = 0;
    position = 0;
}

bool RiffReader::fill(std::uint64_t offset)
{
    if (file == nullptr) return false;
    bufferOffset = offset;
    bufferFill = 0;
    position = 0;
    if (fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
    bufferFill = std::fread(fileBuffer.get(), 1, fileBufferBytes, file);
    return std::ferror(file) == 0;
}

bool RiffReader::seek(std::uint64_t offset)
{
    if (!isOpen() || offset > fileSize) return false;
    if (offset >= bufferOffset && offset - bufferOffset <= bufferFill) {
        position = static_cast<std::size_t>(offset - bufferOffset);
        return true;
    }
    // Only a file gets here: the memory block is its whole buffer. The buffer
    // is loaded from the new place at the next read.
    bufferOffset = offset;
    bufferFill = 0;
    position = 0;
    return true;
}

std::size_t RiffReader::read(void* destination, std::size_t count)
{
    if (!isOpen() || destination == nullptr) return 0;
    auto* out = static_cast<std::uint8_t*>(destination);
    std::size_t done = 0;
    while (done < count) {
        if (position >= bufferFill) {
            if (memory != nullptr || !fill(tell()) || bufferFill == 0) break;
        }
        const std::size_t n = std::min(count - done, bufferFill - position);
        std::memcpy(out + done, buffer + position, n);
        position += n;
        done += n;
    }
    return done;
}

bool RiffReader::readHeader(RiffChunk& chunk, std::uint64_t limit)
{
    const std::uint64_t start = tell();
    if (start > limit || limit - start < 8) return false;
    std::uint8_t header[8];
    if (read(header, 8) != 8) return false;
    chunk.id = readLe32(header);
    const std::uint32_t declared = readLe32(header + 4);
    chunk.dataOffset = tell();
    chunk.formType = 0;
    chunk.declaredSize = declared;
    chunk.size = static_cast<std::uint32_t>(std::min<std::uint64_t>(declared, limit - chunk.dataOffset));
    if (chunk.id == fourCcRiff || chunk.id == fourCcList) {
        std::uint8_t form[4];
        if (chunk.size < 4 || read(form, 4) != 4) return false;
        chunk.formType = readLe32(form);
    }
    return true;
}

bool RiffReader::descend(RiffChunk& chunk, const RiffChunk* parent)
{
    if (!isOpen()) return false;
    const std::uint64_t start = tell();
    const std::uint64_t limit = parent != nullptr ? std::min(parent->end(), fileSize) : fileSize;
    RiffChunk found;
    if (!readHeader(found, limit)) {
        seek(start);
        return false;
    }
    chunk = found;
    return true;
}

bool RiffReader::findChunk(RiffChunk& chunk, const RiffChunk* parent)
{
    if (!isOpen()) return false;
    const std::uint64_t start = tell();
    const std::uint64_t limit = parent != nullptr ? std::min(parent->end(), fileSize) : fileSize;
    for (std::uint32_t searched = 0; searched < maxChunksSearched; ++searched) {
        RiffChunk found;
        const std::uint64_t headerAt = tell();
        if (!readHeader(found, limit)) break;
        if (found.id == chunk.id) {
            chunk = found;
            return true;
        }
        // Skip the sibling as its header declares it, pad byte included.
        const std::uint64_t declared = found.declaredSize;
        const std::uint64_t next = headerAt + 8 + declared + (declared & 1u);
        if (next >= limit || !seek(next)) break;
    }
    seek(start);
    return false;
}

bool RiffReader::ascend(const RiffChunk& chunk)
{
    if (!isOpen()) return false;
    // A chunk cut short by its parent or the file ends where they end.
    const std::uint64_t end = chunk.size < chunk.declaredSize ? chunk.end() : chunk.end() + (chunk.size & 1u);
    return seek(std::min(end, fileSize));
}

bool RiffReader::getInfo(RiffIoInfo& info) const
{
    if (!isOpen()) return false;
    info.buffer = buffer;
    info.next = buffer + position;
    info.endRead = buffer + bufferFill;
    info.bufferOffset = bufferOffset;
    return true;
}

bool RiffReader::advance(RiffIoInfo& info)
{
    if (!setInfo(info)) return false;
    if (file != nullptr && !fill(tell())) return false;
    return getInfo(info);
}

bool RiffReader::setInfo(const RiffIoInfo& info)
{
    if (!isOpen() || info.buffer != buffer || info.bufferOffset != bufferOffset) return false;
    if (info.next < buffer || info.next > buffer + bufferFill) return false;
    position = static_cast<std::size_t>(info.next - buffer);
    return true;
}
