#include "world/bitmap_reader.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cstdlib>

namespace {

constexpr std::size_t fileHeaderBytes = 14;
// Refuse to slurp anything larger than any image this game could use.
constexpr long largestFile = 256L * 1024 * 1024;

std::uint32_t u32(const unsigned char* b)
{
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

std::uint16_t u16(const unsigned char* b)
{
    return static_cast<std::uint16_t>(b[0] | b[1] << 8);
}

BitmapError fail(BitmapFile& out, BitmapError error)
{
    out.info = ByteBlock{};
    out.pixels = ByteBlock{};
    out.header = BitmapInfo{};
    return error;
}

}  // namespace

void ByteBlock::Free::operator()(unsigned char* p) const { std::free(p); }

bool ByteBlock::allocate(std::size_t n)
{
    data.reset();
    size = 0;
    // Always hand out a real block, so a zero-sized image still has a pointer.
    data.reset(static_cast<unsigned char*>(std::calloc(n == 0 ? 1 : n, 1)));
    if (!data) {
        return false;
    }
    size = n;
    return true;
}

const char* bitmapErrorText(BitmapError error)
{
    switch (error) {
        case BitmapError::none: return "no error";
        case BitmapError::cannotOpen: return "cannot be opened";
        case BitmapError::shortHeader: return "shorter than its 14-byte header";
        case BitmapError::offsetPastEnd: return "pixel data offset lies past the end of the file";
        case BitmapError::shortInfo: return "pixel data offset leaves too small an info block";
        case BitmapError::badWidth: return "width below 1";
        case BitmapError::tooLarge: return "width or height beyond the largest texture size";
        case BitmapError::shortPixels: return "pixel data is shorter than the image needs";
        case BitmapError::outOfMemory: return "out of memory";
    }
    return "unknown error";
}

BitmapError readBitmap(const unsigned char* data, std::size_t size, int maxTextureSize,
                       BitmapFile& out)
{
    out = BitmapFile{};
    if (data == nullptr || size < fileHeaderBytes) {
        return fail(out, BitmapError::shortHeader);
    }

    const std::uint64_t offset = u32(data + 10);
    if (offset > size) {
        return fail(out, BitmapError::offsetPastEnd);
    }
    if (offset < fileHeaderBytes + bitmapInfoFieldBytes) {
        return fail(out, BitmapError::shortInfo);
    }

    const std::size_t infoBytes = static_cast<std::size_t>(offset) - fileHeaderBytes;
    if (!out.info.allocate(infoBytes)) {
        return fail(out, BitmapError::outOfMemory);
    }
    std::memcpy(out.info.data.get(), data + fileHeaderBytes, infoBytes);

    const unsigned char* info = out.info.data.get();
    BitmapInfo& h = out.header;
    h.width = static_cast<std::int32_t>(u32(info + 4));
    h.height = static_cast<std::int32_t>(u32(info + 8));
    h.bitCount = u16(info + 14);
    h.compression = u32(info + 16);
    h.imageSize = u32(info + 20);

    if (h.width < 1) {
        return fail(out, BitmapError::badWidth);
    }
    // Top-down files store a negative height; negate it in 64 bits.
    const std::int64_t rows = h.height < 0 ? -static_cast<std::int64_t>(h.height) : h.height;
    const std::int64_t limit = maxTextureSize > 0 ? maxTextureSize : 0;
    if (h.width > limit || rows > limit) {
        return fail(out, BitmapError::tooLarge);
    }

    // The pixel block must lie within the data: compare by division so that
    // no product can overflow, whatever width, height and bit count say.
    const std::uint64_t available = size - static_cast<std::size_t>(offset);
    std::uint64_t pixelBytes = h.imageSize;
    if (pixelBytes == 0) {
        const std::uint64_t stride =
            (static_cast<std::uint64_t>(h.bitCount) * static_cast<std::uint64_t>(h.width) + 31) /
            32 * 4;
        if (stride != 0 && static_cast<std::uint64_t>(rows) > available / stride) {
            return fail(out, BitmapError::shortPixels);
        }
        pixelBytes = static_cast<std::uint64_t>(rows) * stride;
    }
    if (pixelBytes > available) {
        return fail(out, BitmapError::shortPixels);
    }
    if (!out.pixels.allocate(static_cast<std::size_t>(pixelBytes))) {
        return fail(out, BitmapError::outOfMemory);
    }
    if (pixelBytes > 0) {
        std::memcpy(out.pixels.data.get(), data + offset, static_cast<std::size_t>(pixelBytes));
    }
    return BitmapError::none;
}

BitmapError readBitmapFile(const char* fileName, int maxTextureSize, BitmapFile& out)
{
    out = BitmapFile{};
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) {
        return BitmapError::cannotOpen;
    }
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        length = std::ftell(file);
    }
    if (length < 0 || length > largestFile || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        return BitmapError::cannotOpen;
    }
    ByteBlock whole;
    if (!whole.allocate(static_cast<std::size_t>(length))) {
        std::fclose(file);
        return BitmapError::outOfMemory;
    }
    const std::size_t got = std::fread(whole.data.get(), 1, whole.size, file);
    std::fclose(file);
    return readBitmap(whole.data.get(), got, maxTextureSize, out);
}

BitmapError convertBitmap(const BitmapFile& bitmap, RgbaImage& out, float* heightMap)
{
    out = RgbaImage{};
    const BitmapInfo& h = bitmap.header;
    if (h.width < 1) {
        return BitmapError::badWidth;
    }
    const std::uint64_t width = static_cast<std::uint64_t>(h.width);
    // Top-down images (negative height) give no rows.
    const std::uint64_t rows = h.height > 0 ? static_cast<std::uint64_t>(h.height) : 0;
    const bool trueColour = h.compression == 0 && h.bitCount == 24;

    // Read only bytes that exist, whatever the stored image size claimed.
    const std::uint64_t stride = (3 * width + 3) & ~std::uint64_t{3};
    if (trueColour && rows != 0 && bitmap.pixels.size / stride < rows) {
        return BitmapError::shortPixels;
    }

    // A stated size whose RGBA block cannot even be counted is out of memory.
    const std::uint64_t rowBytes = 4 * width;
    if (rows != 0 && rowBytes > largestImageBytes / rows) {
        return BitmapError::outOfMemory;
    }
    if (!out.pixels.allocate(static_cast<std::size_t>(rowBytes * rows))) {
        return BitmapError::outOfMemory;
    }
    out.width = h.width;
    out.height = static_cast<int>(rows);
    if (!trueColour) {
        return BitmapError::none;  // transparent black
    }

    const unsigned char* src = bitmap.pixels.data.get();
    unsigned char* dst = out.pixels.data.get();
    for (std::uint64_t y = 0; y < rows; ++y) {
        const unsigned char* row = src + y * stride;
        for (std::uint64_t x = 0; x < width; ++x) {
            const unsigned char b = row[3 * x];
            const unsigned char g = row[3 * x + 1];
            const unsigned char r = row[3 * x + 2];
            unsigned char* p = dst + 4 * (y * width + x);
            p[0] = r;
            p[1] = g;
            p[2] = b;
            p[3] = (r == 255 && g == 0 && b == 255) ? 0 : 255;
            if (heightMap != nullptr && x < heightMapSize && y < heightMapSize) {
                heightMap[heightMapSize * x + y] = static_cast<float>(r + g + b);
            }
        }
    }
    return BitmapError::none;
}
