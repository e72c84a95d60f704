// Reads and converts arbitrary bytes as a BMP image, capturing heights as the
// earth image does. Any out-of-bounds access, overflow or oversized
// allocation is a finding; so is a converted image whose size disagrees with
// its header.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "world/bitmap_reader.h"

namespace {
// The fuzzer's stand-in for the renderer's largest texture.
constexpr int maxTextureSize = 2048;
float heights[heightMapSize * heightMapSize];
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    BitmapFile file;
    if (readBitmap(data, size, maxTextureSize, file) != BitmapError::none) {
        if (file.info.data || file.pixels.data) {
            std::abort();  // a failed read must not hold blocks
        }
        return 0;
    }
    if (file.info.size + 14 > size || file.pixels.size > size) {
        std::abort();
    }
    RgbaImage image;
    if (convertBitmap(file, image, heights) == BitmapError::none) {
        const std::size_t expected =
            4 * static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
        if (image.pixels.size != expected || image.width > maxTextureSize ||
            image.height > maxTextureSize || image.height < 0) {
            std::abort();
        }
    }
    return 0;
}
