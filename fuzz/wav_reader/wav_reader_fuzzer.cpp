// Opens arbitrary bytes as a WAV sound from memory, streams its data twice
// (in pieces, then again after a rewind) and walks its chunks. Any
// out-of-bounds access or oversized allocation is a finding; so is a data
// size larger than the input, a stream that does not deliver exactly the
// data size, or a rewind that does not give the same bytes back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "audio/riff_reader.h"
#include "audio/wav_reader.h"

namespace {

std::uint8_t firstPass[1 << 16];
std::uint8_t piece[4096];

void walkChunks(const std::uint8_t* data, std::size_t size)
{
    RiffReader reader;
    if (!reader.openMemory(data, size)) std::abort();
    RiffChunk riff;
    if (!reader.descend(riff, nullptr)) return;
    if (riff.end() > size) std::abort();
    for (int i = 0; i < 64; ++i) {
        RiffChunk chunk;
        if (!reader.descend(chunk, &riff)) break;
        if (chunk.end() > riff.end()) std::abort();
        if (chunk.id == fourCcList) {
            RiffChunk inner;
            if (reader.descend(inner, &chunk) && inner.end() > chunk.end()) std::abort();
        }
        if (!reader.ascend(chunk)) break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    walkChunks(data, size);

    WavReader reader;
    const HResult opened = reader.openMemory(data, size);
    if (reader.dataSize > size) std::abort();
    if (reader.format != nullptr && reader.formatSize() > size) std::abort();
    if (failed(opened)) {
        if (reader.dataSize != 0) std::abort();
        return 0;
    }

    // Piece sizes from the input itself, so the fuzzer explores them.
    const std::uint32_t step = 1 + (size > 0 ? data[size - 1] : 0) * 7u;
    std::uint32_t total = 0;
    std::uint32_t got = 0;
    do {
        if (failed(reader.read(piece, step, &got))) std::abort();
        if (got > step) std::abort();
        if (total < sizeof firstPass) {
            std::memcpy(firstPass + total, piece, std::min<std::size_t>(got, sizeof firstPass - total));
        }
        total += got;
    } while (got > 0);
    if (total != reader.dataSize) std::abort();

    if (failed(reader.rewind())) std::abort();
    const std::uint32_t again = std::min<std::uint32_t>(reader.dataSize, sizeof piece);
    if (failed(reader.read(piece, again, &got)) || got != again) std::abort();
    if (std::memcmp(piece, firstPass, std::min<std::size_t>(again, sizeof firstPass)) != 0) std::abort();
    return 0;
}
