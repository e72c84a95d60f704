#include <GL/gl.h>

#include <climits>
#include <cmath>
#include <vector>

#include "game/number_display.h"
#include "game_fixture.h"

namespace {

// Draws value with e = 0.05 at the given x (y 0) and returns its segments in
// normalised device coordinates.
std::vector<FeedbackLine> record(int value, float x)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    FeedbackRecorder recorder;
    recorder.begin();
    drawNumber(value, Vector4{x, 0.0f, 0.1f, 0.0f}, 0.05f);
    const int size = recorder.end();
    EXPECT_GE(size, 0);
    std::vector<FeedbackLine> lines;
    std::vector<FeedbackPolygon> polygons;
    parseFeedback(recorder.buffer(), size, lines, polygons);
    EXPECT_TRUE(polygons.empty());
    for (FeedbackLine& l : lines) {
        l.x0 = l.x0 / 32.0f - 1.0f;
        l.x1 = l.x1 / 32.0f - 1.0f;
        l.y0 = l.y0 / 32.0f - 1.0f;
        l.y1 = l.y1 / 32.0f - 1.0f;
    }
    return lines;
}

bool horizontalAt(const FeedbackLine& l, float y) { return l.y0 == l.y1 && std::abs(l.y0 - y) < 1e-4f; }

}  // namespace

// 1000 comes out units first: three zeros of six segments, then a one of two
// (upper right and lower right), each digit 1.5 e further left.
TEST_F(GameTest, DrawNumberLaysDigitsRightToLeft)
{
    const std::vector<FeedbackLine> lines = record(1000, 0.2f);
    ASSERT_EQ(lines.size(), 6u * 3 + 2);
    const float centres[4] = {0.2f - 0.075f, 0.2f - 0.15f, 0.2f - 0.225f, 0.2f - 0.3f};
    for (int d = 0; d < 3; ++d) {
        const FeedbackLine& top = lines[6 * d];  // a zero starts with its top bar
        EXPECT_TRUE(horizontalAt(top, 0.05f));
        EXPECT_NEAR((top.x0 + top.x1) / 2.0f, centres[d], 1e-4f);
        EXPECT_NEAR(std::abs(top.x1 - top.x0), 0.05f, 1e-4f);
    }
    for (int k = 18; k < 20; ++k) {
        EXPECT_NEAR(lines[k].x0, centres[3] + 0.025f, 1e-4f) << "the one's right segments";
        EXPECT_NEAR(lines[k].x1, centres[3] + 0.025f, 1e-4f);
    }
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(GameTest, SixHasNoTopBarAndNineNoBottomBar)
{
    const std::vector<FeedbackLine> six = record(6, 0.0f);
    ASSERT_EQ(six.size(), 5u);
    int sixBottom = 0;
    for (const FeedbackLine& l : six) {
        EXPECT_FALSE(horizontalAt(l, 0.05f));
        sixBottom += horizontalAt(l, -0.05f);
    }
    EXPECT_EQ(sixBottom, 1);

    const std::vector<FeedbackLine> nine = record(9, 0.0f);
    ASSERT_EQ(nine.size(), 5u);
    int nineTop = 0;
    for (const FeedbackLine& l : nine) {
        EXPECT_FALSE(horizontalAt(l, -0.05f));
        nineTop += horizontalAt(l, 0.05f);
    }
    EXPECT_EQ(nineTop, 1);
}

TEST_F(GameTest, ValuesBelowOneDrawNothing)
{
    EXPECT_TRUE(record(0, 0.0f).empty());
    EXPECT_TRUE(record(-42, 0.0f).empty());
    // 2147483647: ten digits of 3, 4, 7, 4, 8, 7, 4, 3, 2 and 5 segments, the
    // leading 2 fifteen half-sizes left of the anchor.
    const std::vector<FeedbackLine> big = record(INT_MAX, 0.0f);
    ASSERT_EQ(big.size(), 42u);
    EXPECT_NEAR(std::min(big.back().x0, big.back().x1), -0.775f, 1e-4f);
}

TEST(NumberWidth, CountsDigitStepsLessOne)
{
    EXPECT_FLOAT_EQ(numberWidth(1000, 0.05f), 0.225f);
    EXPECT_FLOAT_EQ(numberWidth(7, 0.05f), 0.0f);
    EXPECT_FLOAT_EQ(numberWidth(10, 0.1f), 0.15f);
    EXPECT_FLOAT_EQ(numberWidth(99, 0.1f), 0.15f);
    EXPECT_FLOAT_EQ(numberWidth(0, 0.05f), -0.075f);
    EXPECT_FLOAT_EQ(numberWidth(-5, 0.05f), -0.075f);
    EXPECT_NEAR(numberWidth(INT_MAX, 0.05f), 0.675f, 1e-5f);
}
