#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "data_files.h"
#include "data_reader.h"

namespace {

struct Joint {
    float x, y, z, w;
};

constexpr float figureScale = 0.32777777f;

std::vector<Joint> loadFigure()
{
    const std::vector<std::uint8_t> bytes = readDataFile(dataFiles::ragdollFigure);
    std::vector<Joint> joints;
    for (std::size_t at = 0; at + 16 <= bytes.size(); at += 16) {
        joints.push_back({std::bit_cast<float>(le32(bytes, at)),
                          std::bit_cast<float>(le32(bytes, at + 4)),
                          std::bit_cast<float>(le32(bytes, at + 8)),
                          std::bit_cast<float>(le32(bytes, at + 12))});
    }
    return joints;
}

float distance(const Joint& a, const Joint& b)
{
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) +
                     (a.z - b.z) * (a.z - b.z));
}

}  // namespace

TEST(FigureFile, FifteenJointsInTwoHundredFortyBytes)
{
    EXPECT_EQ(readDataFile(dataFiles::ragdollFigure).size(), 240u);
    const std::vector<Joint> joints = loadFigure();
    ASSERT_EQ(joints.size(), 15u);
    for (const Joint& j : joints) {
        EXPECT_TRUE(std::isfinite(j.x) && std::isfinite(j.y) && std::isfinite(j.z) &&
                    std::isfinite(j.w));
        EXPECT_LT(std::fabs(j.x) + std::fabs(j.y) + std::fabs(j.z), 1.0f);
    }
}

TEST(FigureFile, BonesMatchTheSkeletonRestLengthsOnceScaled)
{
    const std::vector<Joint> j = loadFigure();
    ASSERT_EQ(j.size(), 15u);
    struct Bone {
        int a, b;
        float rest;
    };
    for (const Bone& bone :
         {Bone{0, 1, 0.00295f}, Bone{1, 2, 0.013275f}, Bone{1, 3, 0.013275f}, Bone{1, 8, 0.0236f},
          Bone{2, 3, 0.0236f}, Bone{2, 8, 0.02124f}, Bone{3, 8, 0.02124f}, Bone{2, 4, 0.0118f},
          Bone{4, 5, 0.00885f}, Bone{3, 6, 0.0118f}, Bone{6, 7, 0.00885f}, Bone{8, 9, 0.01062f},
          Bone{8, 10, 0.01062f}, Bone{9, 10, 0.0177f}, Bone{9, 11, 0.01475f}, Bone{11, 12, 0.0118f},
          Bone{10, 13, 0.01475f}, Bone{13, 14, 0.0118f}}) {
        EXPECT_NEAR(distance(j[bone.a], j[bone.b]) * figureScale, bone.rest, bone.rest * 0.05f)
            << "joints " << bone.a << " and " << bone.b;
    }
}

TEST(FigureFile, StandsUprightAndMirrored)
{
    const std::vector<Joint> j = loadFigure();
    ASSERT_EQ(j.size(), 15u);
    // Head over neck over pelvis over knees over feet.
    EXPECT_GT(j[0].y, j[1].y);
    EXPECT_GT(j[1].y, j[8].y);
    EXPECT_GT(j[8].y, j[11].y);
    EXPECT_GT(j[11].y, j[12].y);
    EXPECT_GT(j[13].y, j[14].y);
    EXPECT_GT(j[2].y, j[5].y) << "arms hang down";
    // Left and right halves mirror each other across x = 0.
    for (auto [left, right] : {std::pair{2, 3}, {4, 6}, {5, 7}, {9, 10}, {11, 13}, {12, 14}}) {
        EXPECT_FLOAT_EQ(j[left].x, -j[right].x) << left << "/" << right;
        EXPECT_FLOAT_EQ(j[left].y, j[right].y) << left << "/" << right;
        EXPECT_NE(j[left].x, 0.0f);
    }
}
