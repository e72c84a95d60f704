#include "math/vector4.h"

#include <gtest/gtest.h>

TEST(Vector4, NormalizeKeepsWAndLeavesZeroAlone)
{
    Vector4 zero{0, 0, 0, 7};
    zero.normalize();
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.w, 7.0f);

    Vector4 v{3, 0, 4, 7};
    v.normalize();
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.z, 0.8f);
    EXPECT_EQ(v.w, 7.0f);
}
