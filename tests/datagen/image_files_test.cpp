#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

#include "data_files.h"
#include "data_reader.h"

namespace {

Bitmap load(const char* name)
{
    Bitmap bmp = parseBitmap(readDataFile(name));
    EXPECT_EQ(bmp.error, "") << name;
    return bmp;
}

int colourDistance(const Pixel& a, const Pixel& b)
{
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

// Mean over all rows of the colour distance between two columns.
double meanColumnDistance(const Bitmap& bmp, int x0, int x1)
{
    double total = 0.0;
    for (int row = 0; row < bmp.height; ++row) {
        total += colourDistance(bmp.at(x0, row), bmp.at(x1, row));
    }
    return total / bmp.height;
}

// Column 0 and the last column must meet on the globe like any two
// neighbouring columns do.
void expectSeamless(const Bitmap& bmp)
{
    const int last = bmp.width - 1;
    double neighbours = 0.0;
    for (int x = 0; x < last; x += 7) {
        neighbours += meanColumnDistance(bmp, x, x + 1);
    }
    neighbours /= (last + 6) / 7;
    const double seam = meanColumnDistance(bmp, last, 0);
    const double farApart = meanColumnDistance(bmp, 0, bmp.width / 2);
    EXPECT_LT(seam, neighbours * 2.0 + 4.0) << "neighbouring columns differ by " << neighbours;
    EXPECT_GT(farApart, neighbours * 2.0) << "columns do not vary, so the seam test says nothing";
}

int countMagenta(const Bitmap& bmp)
{
    return static_cast<int>(std::count_if(bmp.pixels.begin(), bmp.pixels.end(),
                                          [](const Pixel& p) { return p.isMagenta(); }));
}

}  // namespace

TEST(ImageFiles, HeadersDescribePlainBottomUpTwentyFourBitImages)
{
    struct Expected {
        const char* name;
        int size;
    };
    for (const Expected& e :
         {Expected{dataFiles::earthImage, 512}, Expected{dataFiles::moonImage, 256},
          Expected{dataFiles::particleImage, 64}, Expected{dataFiles::fontImage, 256},
          Expected{dataFiles::shipImage, 128}}) {
        SCOPED_TRACE(e.name);
        const Bitmap bmp = load(e.name);
        const std::size_t stride = (static_cast<std::size_t>(e.size) * 3 + 3) & ~std::size_t{3};
        EXPECT_EQ(bmp.width, e.size);
        EXPECT_EQ(bmp.height, e.size);  // positive: bottom row first
        EXPECT_EQ(bmp.dataOffset, 54u);
        EXPECT_EQ(bmp.infoSize, 40u);
        EXPECT_EQ(bmp.planes, 1);
        EXPECT_EQ(bmp.bitsPerPixel, 24);
        EXPECT_EQ(bmp.compression, 0u);
        EXPECT_EQ(bmp.colourCount, 0u);
        EXPECT_TRUE(bmp.imageSize == 0 || bmp.imageSize == stride * e.size) << bmp.imageSize;
        EXPECT_EQ(bmp.byteCount, 54 + stride * e.size);
        EXPECT_EQ(bmp.fileSizeField, bmp.byteCount);
    }
}

TEST(ImageFiles, OnlyFontAndShipUseTheTransparentKey)
{
    for (const char* name :
         {dataFiles::earthImage, dataFiles::moonImage, dataFiles::particleImage}) {
        EXPECT_EQ(countMagenta(load(name)), 0) << name;
    }
    // Font: every pixel is the key or a clearly light glyph colour, never a
    // blend that would show as an opaque pink fringe.
    const Bitmap font = load(dataFiles::fontImage);
    for (const Pixel& p : font.pixels) {
        ASSERT_TRUE(p.isMagenta() || std::min({p.r, p.g, p.b}) >= 150)
            << p.r << "," << p.g << "," << p.b;
    }
    const Bitmap ship = load(dataFiles::shipImage);
    const Pixel key{255, 0, 255};
    for (const Pixel& p : ship.pixels) {
        ASSERT_TRUE(p.isMagenta() || colourDistance(p, key) > 120)
            << p.r << "," << p.g << "," << p.b;
    }
    EXPECT_GT(countMagenta(font), 256 * 256 / 2);
    EXPECT_GT(countMagenta(ship), 128 * 128 / 3);
}

TEST(EarthImage, EdgesMeetAndPolesAreIce)
{
    const Bitmap earth = load(dataFiles::earthImage);
    ASSERT_EQ(earth.width, 512);
    expectSeamless(earth);

    auto meanBrightness = [&earth](int firstRow, int rowCount) {
        double total = 0.0;
        for (int row = firstRow; row < firstRow + rowCount; ++row) {
            for (int x = 0; x < earth.width; ++x) {
                total += earth.at(x, row).sum();
            }
        }
        return total / (rowCount * earth.width);
    };
    EXPECT_GT(meanBrightness(0, 4), 600.0);    // bottom pole, first rows stored
    EXPECT_GT(meanBrightness(508, 4), 600.0);  // top pole
    EXPECT_LT(meanBrightness(192, 128), 450.0);
}

TEST(EarthImage, SeaIsDarkerThanLandSoTheReliefRisesOnLand)
{
    const Bitmap earth = load(dataFiles::earthImage);
    ASSERT_EQ(earth.width, 512);
    std::vector<int> sea;
    std::vector<int> land;
    // Away from the ice caps: blue-dominant texels are water.
    for (int row = 64; row < 448; ++row) {
        for (int x = 0; x < earth.width; ++x) {
            const Pixel& p = earth.at(x, row);
            (p.b > p.r + 15 && p.b > p.g ? sea : land).push_back(p.sum());
        }
    }
    const double total = static_cast<double>(sea.size() + land.size());
    EXPECT_GT(sea.size() / total, 0.4);
    EXPECT_LT(sea.size() / total, 0.8);
    std::sort(sea.begin(), sea.end());
    std::sort(land.begin(), land.end());
    const int brightSea = sea[sea.size() * 99 / 100];
    const int darkLand = land[land.size() / 100];
    EXPECT_LT(brightSea, darkLand);
    // Mountains: the brightest land is far above the lowlands (relief up to 0.765).
    EXPECT_GT(land[land.size() * 999 / 1000], 600);
    EXPECT_LT(land[land.size() / 2], 450);
}

TEST(MoonImage, GreyVariedAndSeamless)
{
    const Bitmap moon = load(dataFiles::moonImage);
    ASSERT_EQ(moon.width, 256);
    expectSeamless(moon);
    double sum = 0.0;
    double squares = 0.0;
    for (const Pixel& p : moon.pixels) {
        ASSERT_LE(std::abs(p.r - p.g), 12);
        ASSERT_LE(std::abs(p.g - p.b), 16);
        sum += p.g;
        squares += static_cast<double>(p.g) * p.g;
    }
    const double n = static_cast<double>(moon.pixels.size());
    const double mean = sum / n;
    const double spread = std::sqrt(squares / n - mean * mean);
    EXPECT_GT(mean, 80.0);
    EXPECT_LT(mean, 200.0);
    EXPECT_GT(spread, 10.0) << "a flat grey disc has no craters";
}

TEST(GlowImage, RoundWhiteCentreFadingToBlackBorder)
{
    const Bitmap glow = load(dataFiles::particleImage);
    ASSERT_EQ(glow.width, 64);
    for (int row = 0; row < 64; ++row) {
        for (int x = 0; x < 64; ++x) {
            const Pixel& p = glow.at(x, row);
            ASSERT_TRUE(p.r == p.g && p.g == p.b) << x << "," << row;
            // Mirror images and the transpose match: radially symmetric.
            ASSERT_NEAR(p.g, glow.at(63 - x, row).g, 1) << x << "," << row;
            ASSERT_NEAR(p.g, glow.at(x, 63 - row).g, 1) << x << "," << row;
            ASSERT_NEAR(p.g, glow.at(row, x).g, 1) << x << "," << row;
            if (x == 0 || x == 63 || row == 0 || row == 63) {
                ASSERT_EQ(p.g, 0) << "border texel " << x << "," << row;
            }
        }
    }
    EXPECT_GE(glow.at(31, 31).g, 250);
    EXPECT_GE(glow.at(32, 32).g, 250);
    // Falls off smoothly along the radius, without steps or rings.
    for (int x = 33; x < 64; ++x) {
        const int inner = glow.at(x - 1, 32).g;
        const int outer = glow.at(x, 32).g;
        EXPECT_LE(outer, inner) << x;
        EXPECT_LE(inner - outer, 48) << x;
    }
    EXPECT_GT(glow.at(40, 32).g, 40) << "the glow should reach well beyond its core";
}

namespace {

// The cell the game samples for a letter: six letters to a row of cells
// 1/8 of the texture, from the top-left; t = 0 is the first stored row.
struct Cell {
    int left;
    int bottom;  // first stored row of the cell
};

Cell letterCell(char c)
{
    const int g = c - 'a';
    const int column = g % 6;
    const float rowFromTop = static_cast<float>(g - column) * 0.16666667f;
    const float uLeft = static_cast<float>(column) * 0.125f;
    const float tBottom = 1.0f - (rowFromTop * 0.125f + 0.125f);
    return {static_cast<int>(std::lround(uLeft * 256.0f)),
            static_cast<int>(std::lround(tBottom * 256.0f))};
}

int inkIn(const Bitmap& font, int left, int bottom, int width, int height)
{
    int ink = 0;
    for (int row = bottom; row < bottom + height; ++row) {
        for (int x = left; x < left + width; ++x) {
            ink += font.at(x, row).isMagenta() ? 0 : 1;
        }
    }
    return ink;
}

}  // namespace

TEST(FontImage, LettersSitInTheCellsTheGameSamples)
{
    // The cells named by their texture coordinates.
    EXPECT_EQ(letterCell('a').left, 0);
    EXPECT_EQ(letterCell('a').bottom, 224);  // t 0.875..1
    EXPECT_EQ(letterCell('g').left, 0);
    EXPECT_EQ(letterCell('g').bottom, 192);  // t 0.75..0.875
    EXPECT_EQ(letterCell('z').left, 32);     // u 0.125..0.25
    EXPECT_EQ(letterCell('z').bottom, 96);   // t 0.375..0.5

    const Bitmap font = load(dataFiles::fontImage);
    ASSERT_EQ(font.width, 256);
    std::vector<bool> inLetterCell(256 * 256, false);
    for (char c = 'a'; c <= 'z'; ++c) {
        SCOPED_TRACE(std::string(1, c));
        const Cell cell = letterCell(c);
        // Ink in the cell, none on its outermost ring: linear filtering must
        // not bleed a letter into its neighbour.
        EXPECT_GT(inkIn(font, cell.left, cell.bottom, 32, 32), 40);
        EXPECT_EQ(inkIn(font, cell.left + 1, cell.bottom + 1, 30, 30),
                  inkIn(font, cell.left, cell.bottom, 32, 32));
        for (int row = cell.bottom; row < cell.bottom + 32; ++row) {
            for (int x = cell.left; x < cell.left + 32; ++x) {
                inLetterCell[row * 256 + x] = true;
            }
        }
    }
    for (int row = 0; row < 256; ++row) {
        for (int x = 0; x < 256; ++x) {
            if (!inLetterCell[row * 256 + x]) {
                ASSERT_TRUE(font.at(x, row).isMagenta()) << "stray ink at " << x << "," << row;
            }
        }
    }
}

TEST(FontImage, LettersAreUprightUnmirroredAndDistinct)
{
    const Bitmap font = load(dataFiles::fontImage);
    ASSERT_EQ(font.width, 256);
    // Picture terms: a cell's top quarter is its last 8 stored rows.
    auto top = [&font](char c) {
        return inkIn(font, letterCell(c).left, letterCell(c).bottom + 24, 32, 8);
    };
    auto bottom = [&font](char c) {
        return inkIn(font, letterCell(c).left, letterCell(c).bottom, 32, 8);
    };
    for (char c : {'b', 'd', 'h', 'k', 'l'}) {
        EXPECT_GT(top(c), 4) << c << " has an ascender";
        EXPECT_EQ(bottom(c), 0) << c;
    }
    for (char c : {'g', 'p', 'q', 'y'}) {
        EXPECT_GT(bottom(c), 4) << c << " has a descender";
        EXPECT_EQ(top(c), 0) << c;
    }
    for (char c : {'a', 'o', 'x'}) {
        EXPECT_EQ(top(c) + bottom(c), 0) << c;
    }
    // The stem of 'b' is on the left of the cell, that of 'd' on the right.
    const Cell b = letterCell('b');
    const Cell d = letterCell('d');
    EXPECT_GT(inkIn(font, b.left, b.bottom + 24, 16, 8),
              inkIn(font, b.left + 16, b.bottom + 24, 16, 8));
    EXPECT_GT(inkIn(font, d.left + 16, d.bottom + 24, 16, 8),
              inkIn(font, d.left, d.bottom + 24, 16, 8));

    std::set<std::vector<bool>> shapes;
    for (char c = 'a'; c <= 'z'; ++c) {
        std::vector<bool> shape;
        for (int row = 0; row < 32; ++row) {
            for (int x = 0; x < 32; ++x) {
                shape.push_back(
                    !font.at(letterCell(c).left + x, letterCell(c).bottom + row).isMagenta());
            }
        }
        shapes.insert(shape);
    }
    EXPECT_EQ(shapes.size(), 26u);
}

TEST(ShipImage, HullLiesInsideTheBandTheQuadShows)
{
    const Bitmap ship = load(dataFiles::shipImage);
    ASSERT_EQ(ship.width, 128);
    int lowestRow = 128;
    int highestRow = -1;
    int hull = 0;
    for (int row = 0; row < 128; ++row) {
        const float t = (static_cast<float>(row) + 0.5f) / 128.0f;
        for (int x = 0; x < 128; ++x) {
            const Pixel& p = ship.at(x, row);
            // Left-right symmetric.
            ASSERT_EQ(p.isMagenta(), ship.at(127 - x, row).isMagenta()) << x << "," << row;
            if (p.isMagenta()) {
                continue;
            }
            ++hull;
            lowestRow = std::min(lowestRow, row);
            highestRow = std::max(highestRow, row);
            // The quad shows u 0.4..0.6 at t = 0 widening to 0..1 at t = 1.
            const float u = (static_cast<float>(x) + 0.5f) / 128.0f;
            EXPECT_LE(std::fabs(u - 0.5f), 0.1f + 0.4f * t + 1.0f / 128.0f) << x << "," << row;
        }
    }
    EXPECT_LE(lowestRow, 10) << "the nose should reach the first rows";
    EXPECT_GE(highestRow, 110) << "the engines should reach the last rows";
    EXPECT_GT(hull, 128 * 128 / 8);
    EXPECT_LT(hull, 128 * 128 / 2);
}
