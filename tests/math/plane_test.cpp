#include "math/plane.h"

#include <gtest/gtest.h>

TEST(Plane, NormalFollowsCounterClockwiseOrder)
{
    Plane p;
    p.setFromPoints({0, 0, 2, 9}, {3, 0, 2, 9}, {0, 3, 2, 9});
    EXPECT_FLOAT_EQ(p.normal.x, 0.0f);
    EXPECT_FLOAT_EQ(p.normal.y, 0.0f);
    EXPECT_FLOAT_EQ(p.normal.z, 1.0f);
    EXPECT_EQ(p.normal.w, 0.0f);
    EXPECT_FLOAT_EQ(p.distance, 2.0f);

    p.setFromPoints({0, 0, 2, 0}, {0, 3, 2, 0}, {3, 0, 2, 0});
    EXPECT_FLOAT_EQ(p.normal.z, -1.0f);
    EXPECT_FLOAT_EQ(p.distance, -2.0f);
}

TEST(Plane, SlantedPlaneHasUnitNormal)
{
    // The plane x + y = 1.
    Plane p;
    p.setFromPoints({1, 0, 0, 0}, {0, 1, 0, 0}, {1, 0, 1, 0});
    EXPECT_FLOAT_EQ(p.normal.x, 0.70710677f);
    EXPECT_FLOAT_EQ(p.normal.y, 0.70710677f);
    EXPECT_FLOAT_EQ(p.normal.z, 0.0f);
    EXPECT_FLOAT_EQ(p.distance, 0.70710677f);
}

TEST(Plane, CollinearPointsGiveZeroNormalAndDistance)
{
    Plane p;
    p.normal = {1, 0, 0, 0};
    p.distance = 4;
    p.setFromPoints({1, 1, 1, 0}, {2, 2, 2, 0}, {3, 3, 3, 0});
    EXPECT_EQ(p.normal.x, 0.0f);
    EXPECT_EQ(p.normal.y, 0.0f);
    EXPECT_EQ(p.normal.z, 0.0f);
    EXPECT_EQ(p.normal.w, 0.0f);
    EXPECT_EQ(p.distance, 0.0f);
}
