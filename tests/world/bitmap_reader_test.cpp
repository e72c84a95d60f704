#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "bmp_builder.h"
#include "world/bitmap_reader.h"

namespace {

constexpr int limit = 2048;

BitmapError read(const std::vector<unsigned char>& bytes, BitmapFile& out, int max = limit)
{
    return readBitmap(bytes.data(), bytes.size(), max, out);
}

const unsigned char* texel(const RgbaImage& image, int x, int y)
{
    return image.pixels.data.get() + 4 * (y * image.width + x);
}

std::unique_ptr<float[]> zeroHeightMap()
{
    return std::make_unique<float[]>(heightMapSize * heightMapSize);
}

}  // namespace

TEST(BitmapReader, MagentaAloneIsTransparent)
{
    BmpLayout layout;
    layout.width = 3;
    layout.height = 1;
    const auto bytes = makeBmp(layout, {255, 0, 255, 255, 0, 254, 254, 0, 255});
    BitmapFile file;
    ASSERT_EQ(read(bytes, file), BitmapError::none);
    RgbaImage image;
    ASSERT_EQ(convertBitmap(file, image, nullptr), BitmapError::none);
    EXPECT_EQ(texel(image, 0, 0)[3], 0);
    EXPECT_EQ(texel(image, 1, 0)[3], 255);
    EXPECT_EQ(texel(image, 2, 0)[3], 255);
    EXPECT_EQ(texel(image, 1, 0)[0], 255);  // red stays red: BGR is swapped to RGB
    EXPECT_EQ(texel(image, 1, 0)[2], 254);
}

TEST(BitmapReader, PaddedRowsConvertToPackedRgba)
{
    BmpLayout layout;
    layout.width = 3;
    layout.height = 2;
    std::vector<unsigned char> rgb;
    for (int k = 0; k < 6; ++k) {
        rgb.insert(rgb.end(), {static_cast<unsigned char>(10 * k), static_cast<unsigned char>(k),
                               static_cast<unsigned char>(200 + k)});
    }
    auto bytes = makeBmp(layout, rgb);
    bytes.insert(bytes.end(), {1, 2, 3, 4, 5});  // trailing bytes are not pixel data
    BitmapFile file;
    ASSERT_EQ(read(bytes, file), BitmapError::none);
    EXPECT_EQ(file.pixels.size, 24u);  // computed: 2 rows of a 12-byte stride
    EXPECT_EQ(file.info.size, 40u);
    EXPECT_EQ(file.header.width, 3);
    EXPECT_EQ(file.header.height, 2);

    RgbaImage image;
    ASSERT_EQ(convertBitmap(file, image, nullptr), BitmapError::none);
    ASSERT_EQ(image.pixels.size, 24u);  // 3 × 4 bytes per row, two rows
    for (int k = 0; k < 6; ++k) {
        const unsigned char* p = image.pixels.data.get() + 4 * k;
        EXPECT_EQ(p[0], 10 * k) << k;
        EXPECT_EQ(p[1], k) << k;
        EXPECT_EQ(p[2], 200 + k) << k;
        EXPECT_EQ(p[3], 255) << k;
    }
}

TEST(BitmapReader, WidthsOneToFiveReadEveryPixelOnce)
{
    for (int width = 1; width <= 5; ++width) {
        BmpLayout layout;
        layout.width = width;
        layout.height = 3;
        std::vector<unsigned char> rgb;
        for (int k = 0; k < 3 * width; ++k) {
            rgb.insert(rgb.end(), {static_cast<unsigned char>(k), 7, 9});
        }
        BitmapFile file;
        ASSERT_EQ(read(makeBmp(layout, rgb), file), BitmapError::none) << width;
        RgbaImage image;
        ASSERT_EQ(convertBitmap(file, image, nullptr), BitmapError::none) << width;
        for (int k = 0; k < 3 * width; ++k) {
            EXPECT_EQ(image.pixels.data[4 * k], k) << width;
            EXPECT_EQ(image.pixels.data[4 * k + 2], 9) << width;
        }
    }
}

TEST(BitmapReader, CapturesBrightnessIntoTheHeightMap)
{
    BmpLayout layout;
    layout.width = 2;
    layout.height = 2;
    // Row 0: white, black; row 1: (1, 2, 3), magenta.
    const auto bytes = makeBmp(layout, {255, 255, 255, 0, 0, 0, 1, 2, 3, 255, 0, 255});
    BitmapFile file;
    ASSERT_EQ(read(bytes, file), BitmapError::none);
    auto heights = zeroHeightMap();
    heights[512 * 1 + 0] = 42.0f;  // black must overwrite it with 0
    RgbaImage image;
    ASSERT_EQ(convertBitmap(file, image, heights.get()), BitmapError::none);
    EXPECT_EQ(heights[512 * 0 + 0], 765.0f);
    EXPECT_EQ(heights[512 * 1 + 0], 0.0f);
    EXPECT_EQ(heights[512 * 0 + 1], 6.0f);
    EXPECT_EQ(heights[512 * 1 + 1], 510.0f);
}

TEST(BitmapReader, CaptureKeepsToTheFirst512ColumnsAndRows)
{
    BmpLayout layout;
    layout.width = 600;
    layout.height = 520;
    std::vector<unsigned char> rgb(3u * 600 * 520, 100);
    BitmapFile file;
    ASSERT_EQ(read(makeBmp(layout, rgb), file), BitmapError::none);
    // Guard cells around a 512 × 512 map catch any write beyond it.
    auto block = std::make_unique<float[]>(512 * 512 + 2 * 1024);
    float* heights = block.get() + 1024;
    RgbaImage image;
    ASSERT_EQ(convertBitmap(file, image, heights), BitmapError::none);
    EXPECT_EQ(heights[0], 300.0f);
    EXPECT_EQ(heights[512 * 511 + 511], 300.0f);
    for (int k = 0; k < 1024; ++k) {
        ASSERT_EQ(block[k], 0.0f) << k;
        ASSERT_EQ(heights[512 * 512 + k], 0.0f) << k;
    }
}

TEST(BitmapReader, OtherFormatsBecomeTransparentBlack)
{
    for (auto [bits, compression] : {std::pair{32, 0u}, std::pair{24, 1u}, std::pair{8, 0u}}) {
        BmpLayout layout;
        layout.width = 4;
        layout.height = 2;
        layout.bits = static_cast<std::uint16_t>(bits);
        layout.compression = compression;
        auto bytes = makeBmp(layout, std::vector<unsigned char>(3 * 8, 200));
        bytes.resize(bytes.size() + 16, 200);  // enough for two 32-bit rows
        BitmapFile file;
        ASSERT_EQ(read(bytes, file), BitmapError::none) << bits;
        RgbaImage image;
        ASSERT_EQ(convertBitmap(file, image, nullptr), BitmapError::none) << bits;
        EXPECT_EQ(image.width, 4);
        EXPECT_EQ(image.height, 2);
        ASSERT_EQ(image.pixels.size, 32u);
        for (std::size_t k = 0; k < image.pixels.size; ++k) {
            EXPECT_EQ(image.pixels.data[k], 0) << bits << ' ' << k;
        }
    }
}

TEST(BitmapReader, TopDownImagesGiveNoRows)
{
    BmpLayout layout;
    layout.width = 3;
    layout.height = -2;
    const auto bytes = makeBmp(layout, std::vector<unsigned char>(18, 50));
    BitmapFile file;
    ASSERT_EQ(read(bytes, file), BitmapError::none);
    EXPECT_EQ(file.pixels.size, 24u);  // |height| rows are still read
    auto heights = zeroHeightMap();
    RgbaImage image;
    ASSERT_EQ(convertBitmap(file, image, heights.get()), BitmapError::none);
    EXPECT_EQ(image.height, 0);
    EXPECT_EQ(image.pixels.size, 0u);
    EXPECT_EQ(heights[0], 0.0f);

    layout.height = 0;
    ASSERT_EQ(read(makeBmp(layout, {}), file), BitmapError::none);
    ASSERT_EQ(convertBitmap(file, image, nullptr), BitmapError::none);
    EXPECT_EQ(image.height, 0);
}

TEST(BitmapReader, RejectsBrokenHeaders)
{
    BmpLayout good;
    good.width = 2;
    good.height = 2;
    const std::vector<unsigned char> rgb(12, 1);
    BitmapFile file;

    // Shorter than the 14-byte file header.
    const auto whole = makeBmp(good, rgb);
    EXPECT_EQ(readBitmap(whole.data(), 13, limit, file), BitmapError::shortHeader);
    EXPECT_EQ(readBitmap(whole.data(), 0, limit, file), BitmapError::shortHeader);

    // Offset leaving fewer than 24 info bytes, or below the header itself.
    for (std::uint32_t offset : {0u, 13u, 14u, 37u}) {
        auto bytes = whole;
        put32(bytes, 10, offset);
        EXPECT_EQ(read(bytes, file), BitmapError::shortInfo) << offset;
    }
    // Offset past the end of the file.
    {
        auto bytes = whole;
        put32(bytes, 10, static_cast<std::uint32_t>(bytes.size() + 1));
        EXPECT_EQ(read(bytes, file), BitmapError::offsetPastEnd);
        put32(bytes, 10, 0xFFFFFFFFu);
        EXPECT_EQ(read(bytes, file), BitmapError::offsetPastEnd);
    }
    // A 24-byte info block is enough.
    {
        BmpLayout small = good;
        small.infoBytes = 24;
        EXPECT_EQ(read(makeBmp(small, rgb), file), BitmapError::none);
    }
    // Widths below 1.
    for (std::int32_t width : {0, -1, INT_MIN}) {
        auto bytes = whole;
        put32(bytes, 18, static_cast<std::uint32_t>(width));
        EXPECT_EQ(read(bytes, file), BitmapError::badWidth) << width;
    }
    // Beyond the largest texture: width, height, and a height whose negation
    // only fits in 64 bits.
    {
        auto bytes = whole;
        put32(bytes, 18, limit + 1);
        EXPECT_EQ(read(bytes, file), BitmapError::tooLarge);
        bytes = whole;
        put32(bytes, 22, limit + 1);
        EXPECT_EQ(read(bytes, file), BitmapError::tooLarge);
        put32(bytes, 22, static_cast<std::uint32_t>(INT_MIN));
        EXPECT_EQ(read(bytes, file), BitmapError::tooLarge);
        put32(bytes, 22, static_cast<std::uint32_t>(-limit));
        EXPECT_EQ(read(bytes, file), BitmapError::shortPixels);  // in range, but no data
    }
    EXPECT_EQ(file.info.size, 0u);  // a failed read holds no blocks
    EXPECT_EQ(file.pixels.size, 0u);
}

TEST(BitmapReader, NeverTrustsTheStatedSizes)
{
    BmpLayout layout;
    layout.width = 3;
    layout.height = 2;
    const std::vector<unsigned char> rgb(18, 9);
    BitmapFile file;
    RgbaImage image;

    // Pixel data cut short.
    auto cut = makeBmp(layout, rgb);
    cut.resize(cut.size() - 1);
    EXPECT_EQ(read(cut, file), BitmapError::shortPixels);

    // A stored size larger than the file: refused before anything is allocated.
    for (std::uint32_t stated : {25u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        auto bytes = makeBmp(layout, rgb);
        put32(bytes, 34, stated);
        EXPECT_EQ(read(bytes, file), BitmapError::shortPixels) << stated;
    }

    // A stored size smaller than the rows need: read, but the converter
    // refuses to look past it.
    {
        auto bytes = makeBmp(layout, rgb);
        put32(bytes, 34, 23);
        ASSERT_EQ(read(bytes, file), BitmapError::none);
        EXPECT_EQ(file.pixels.size, 23u);
        auto heights = zeroHeightMap();
        EXPECT_EQ(convertBitmap(file, image, heights.get()), BitmapError::shortPixels);
        EXPECT_EQ(heights[0], 0.0f);  // nothing captured from a refused image
        EXPECT_EQ(image.pixels.size, 0u);
    }

    // Products that would overflow 32 or even 64 bits with a generous limit.
    {
        auto bytes = makeBmp(layout, rgb);
        put32(bytes, 18, 0x7FFFFFFF);
        put32(bytes, 22, 0x7FFFFFFF);
        bytes[28] = 0xFF;
        bytes[29] = 0xFF;  // 65535 bits per pixel
        EXPECT_EQ(read(bytes, file, INT_MAX), BitmapError::shortPixels);
        put32(bytes, 22, static_cast<std::uint32_t>(INT_MIN + 1));
        EXPECT_EQ(read(bytes, file, INT_MAX), BitmapError::shortPixels);
    }

    // A converter handed an absurd header directly refuses instead of wrapping.
    {
        BitmapFile forged;
        forged.header.width = 0x7FFFFFFF;
        forged.header.height = 0x7FFFFFFF;
        forged.header.bitCount = 24;
        EXPECT_EQ(convertBitmap(forged, image, nullptr), BitmapError::shortPixels);
        forged.header.bitCount = 8;  // transparent black of an impossible size
        EXPECT_EQ(convertBitmap(forged, image, nullptr), BitmapError::outOfMemory);
    }
}

TEST(BitmapReader, ReadsFilesAndReportsMissingOnes)
{
    const auto dir = std::filesystem::temp_directory_path() / "gf_world_bitmap_reader";
    std::filesystem::create_directories(dir);
    BmpLayout layout;
    layout.width = 2;
    layout.height = 1;
    const std::string path = (dir / "two.bmp").string();
    ASSERT_TRUE(writeFile(path, makeBmp(layout, {1, 2, 3, 4, 5, 6})));
    BitmapFile file;
    ASSERT_EQ(readBitmapFile(path.c_str(), limit, file), BitmapError::none);
    EXPECT_EQ(file.pixels.size, 8u);
    EXPECT_EQ(file.pixels.data[0], 3);  // blue first in the file
    EXPECT_EQ(readBitmapFile((dir / "absent.bmp").string().c_str(), limit, file),
              BitmapError::cannotOpen);
    EXPECT_STRNE(bitmapErrorText(BitmapError::cannotOpen), bitmapErrorText(BitmapError::none));
    std::filesystem::remove_all(dir);
}

namespace {

// Replays saved inputs: each must be refused or give a consistent image.
int replayFolder(const char* folder)
{
    int replayed = 0;
    if (!std::filesystem::is_directory(folder)) {
        return 0;
    }
    auto heights = zeroHeightMap();
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
        BitmapFile file;
        if (readBitmap(bytes.data(), bytes.size(), limit, file) == BitmapError::none) {
            RgbaImage image;
            if (convertBitmap(file, image, heights.get()) == BitmapError::none) {
                EXPECT_EQ(image.pixels.size,
                          4u * static_cast<std::size_t>(image.width) * image.height)
                    << entry.path();
                EXPECT_LE(image.width, limit);
                EXPECT_LE(image.height, limit);
            }
        }
        ++replayed;
    }
    return replayed;
}

}  // namespace

TEST(BitmapReader, ReplaysFuzzRegressionsAndSeeds)
{
    EXPECT_GT(replayFolder(BITMAP_REGRESSION_DIR), 0);
    EXPECT_GT(replayFolder(BITMAP_CORPUS_DIR), 0);
}
