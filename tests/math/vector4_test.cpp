#include "math/vector4.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

void expectVector(const Vector4& v, float x, float y, float z, float w)
{
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
    EXPECT_FLOAT_EQ(v.w, w);
}

}  // namespace

TEST(Vector4, DefaultIsZero) { expectVector(Vector4{}, 0, 0, 0, 0); }

TEST(Vector4, InPlaceArithmeticKeepsOwnW)
{
    Vector4 v{1, 2, 3, 9};
    v.add({10, 20, 30, 100});
    expectVector(v, 11, 22, 33, 9);
    v.subtract({1, 2, 3, 100});
    expectVector(v, 10, 20, 30, 9);
    v.scale(0.5f);
    expectVector(v, 5, 10, 15, 9);
}

TEST(Vector4, DotAndLengthIgnoreW)
{
    const Vector4 a{1, 2, 3, 1000};
    const Vector4 b{4, -5, 6, 1000};
    EXPECT_FLOAT_EQ(a.dot(b), 4 - 10 + 18);
    EXPECT_FLOAT_EQ((Vector4{3, 4, 0, 50}).lengthSquared(), 25.0f);
    EXPECT_FLOAT_EQ((Vector4{3, 4, 0, 50}).length(), 5.0f);
}

TEST(Vector4, CrossHasReceiverOnTheLeftAndZeroW)
{
    expectVector(Vector4{1, 0, 0, 5}.cross({0, 1, 0, 6}), 0, 0, 1, 0);
    expectVector(Vector4{0, 1, 0, 5}.cross({1, 0, 0, 6}), 0, 0, -1, 0);
    expectVector(Vector4{1, 2, 3, 0}.cross({4, 5, 6, 0}), -3, 6, -3, 0);
    // Parallel vectors.
    expectVector(Vector4{1, 2, 3, 7}.cross({-2, -4, -6, 7}), 0, 0, 0, 0);
}

TEST(Vector4, LengthIsZeroBelowTheSquaredThreshold)
{
    // x² + y² + z² = 5e-10: the length reads as exactly 0, not 2.24e-5.
    const float e = std::sqrt(2.5e-10f);
    const Vector4 tiny{e, e, 0, 0};
    EXPECT_NEAR(tiny.lengthSquared(), 5e-10f, 1e-15f);
    EXPECT_EQ(tiny.length(), 0.0f);

    // Just above the threshold the true length comes back.
    const Vector4 small{4e-5f, 0, 0, 0};
    EXPECT_FLOAT_EQ(small.length(), 4e-5f);
}

TEST(Vector4, NormalizeScalesToUnitAndKeepsW)
{
    Vector4 v{3, 0, 4, 7};
    v.normalize();
    expectVector(v, 0.6f, 0, 0.8f, 7);

    Vector4 small{0, -4e-5f, 0, 2};  // squared length 1.6e-9, above the threshold
    small.normalize();
    expectVector(small, 0, -1, 0, 2);
}

TEST(Vector4, NormalizeLeavesZeroTinyAndNaNAlone)
{
    Vector4 zero{0, 0, 0, 7};
    zero.normalize();
    expectVector(zero, 0, 0, 0, 7);

    Vector4 tiny{2e-5f, 0, 1e-5f, 3};  // squared length 5e-10
    tiny.normalize();
    expectVector(tiny, 2e-5f, 0, 1e-5f, 3);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    Vector4 broken{nan, 3, 4, 1};
    broken.normalize();
    EXPECT_TRUE(std::isnan(broken.x));
    EXPECT_EQ(broken.y, 3.0f);
    EXPECT_EQ(broken.z, 4.0f);
    EXPECT_EQ(broken.w, 1.0f);
}
