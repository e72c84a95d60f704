#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// Reading and converting 24-bit uncompressed BMP images. Every header field is
// untrusted: nothing is read outside the given bytes and no block is sized
// from a field before that field has been checked against the data present
// and the largest texture the renderer accepts. No GL calls here.

enum class BitmapError {
    none,
    cannotOpen,
    shortHeader,      // fewer than the 14 bytes of the file header
    offsetPastEnd,    // pixel data offset beyond the end of the file
    shortInfo,        // offset leaves fewer than 24 bytes of info block
    badWidth,         // width below 1
    tooLarge,         // width or height beyond the texture size limit
    shortPixels,      // fewer pixel bytes than stated or than the rows need
    outOfMemory,
};

// A short English reason, for the one line the loader prints.
const char* bitmapErrorText(BitmapError error);

// An owned, zero-filled byte block; freed when it goes out of scope. Large
// blocks come straight from the system as untouched zero pages.
struct ByteBlock {
    struct Free {
        void operator()(unsigned char* p) const;
    };
    std::unique_ptr<unsigned char[], Free> data;
    std::size_t size = 0;

    // Replaces the block with n zero bytes; false if memory ran out.
    bool allocate(std::size_t n);
};

// The fields of the info block that are used.
struct BitmapInfo {
    std::int32_t width = 0;
    std::int32_t height = 0;  // rows stored bottom first; 0 or below gives no rows
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t imageSize = 0;  // 0: computed from width, height and bit count
};

struct BitmapFile {
    ByteBlock info;  // the bytes between the 14-byte file header and the pixel data
    BitmapInfo header;
    ByteBlock pixels;
};

// The largest RGBA block the converter will ask for (far above any texture
// the renderer accepts); larger stated sizes count as running out of memory.
constexpr std::uint64_t largestImageBytes = std::uint64_t{1} << 32;

// Smallest info block that holds every field read.
constexpr std::size_t bitmapInfoFieldBytes = 24;
// The height map filled while the earth image is converted is 512 × 512.
constexpr int heightMapSize = 512;

// Reads a whole BMP image held in memory. maxTextureSize bounds width and
// |height|. On failure out holds no blocks.
BitmapError readBitmap(const unsigned char* data, std::size_t size, int maxTextureSize,
                       BitmapFile& out);

// The same for a file, by name relative to the current directory.
BitmapError readBitmapFile(const char* fileName, int maxTextureSize, BitmapFile& out);

// RGBA, four bytes per pixel, rows in file order (row 0 is the picture's
// bottom row) packed back to back.
struct RgbaImage {
    ByteBlock pixels;
    int width = 0;
    int height = 0;  // the number of rows, 0 for a stated height of 0 or below
};

// Turns a read image into RGBA; pure magenta (255, 0, 255) gets alpha 0,
// every other colour 255. An image that is not 24-bit uncompressed becomes
// transparent black of its stated size. When heightMap is given (512 × 512
// floats), r + g + b of texel (x, y) with x, y < 512 goes to 512·x + y.
BitmapError convertBitmap(const BitmapFile& bitmap, RgbaImage& out, float* heightMap);
