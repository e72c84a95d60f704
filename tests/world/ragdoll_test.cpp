#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bmp_builder.h"
#include "data_files.h"
#include "world/digit_segments.h"
#include "world/ragdoll.h"

namespace {

// Fifteen joints: (k + 1, 2(k + 1), -(k + 1), 100 + k), little-endian.
std::vector<unsigned char> figureFile(float rootValue = 8.0f)
{
    std::vector<unsigned char> bytes(ragdollFileSize);
    for (int k = 0; k < ragdollJointCount; ++k) {
        const float base = k == ragdollRootJoint ? rootValue : static_cast<float>(k + 1);
        const float v[4] = {base, 2 * base, -base, static_cast<float>(100 + k)};
        std::memcpy(&bytes[16 * k], v, sizeof v);  // the test host is little-endian
    }
    return bytes;
}

void clearTemplate()
{
    for (Vector4& v : ragdollTemplate) {
        v = Vector4{};
    }
}

void expectVector(const Vector4& v, float x, float y, float z, float w, const char* what)
{
    EXPECT_NEAR(v.x, x, 1e-6f) << what;
    EXPECT_NEAR(v.y, y, 1e-6f) << what;
    EXPECT_NEAR(v.z, z, 1e-6f) << what;
    EXPECT_EQ(v.w, w) << what;
}

class InTempDir : public testing::Test {
protected:
    void SetUp() override
    {
        previous = std::filesystem::current_path();
        dir = std::filesystem::temp_directory_path() /
              (std::string("gf_world_ragdoll_") +
               testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        clearTemplate();
    }
    void TearDown() override
    {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(dir);
    }
    std::filesystem::path previous, dir;
};

}  // namespace

TEST_F(InTempDir, MissingFileLeavesAZeroTemplateAndStillBuilds)
{
    for (int& d : digitSegments) {
        d = 0;
    }
    testing::internal::CaptureStderr();
    buildRagdollCrowd();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(std::string("\"") + dataFiles::ragdollFigure + "\""), std::string::npos)
        << err;
    for (const Vector4& v : ragdollTemplate) {
        EXPECT_EQ(v.lengthSquared(), 0.0f);
    }
    const int masks[] = {123, 72, 61, 109, 78, 103, 118, 73, 127, 79};
    for (int d = 0; d < 10; ++d) {
        EXPECT_EQ(digitSegments[d], masks[d]) << d;
    }
    // Roots of the first and last figure; with a zero template every joint
    // stands on its root.
    expectVector(ragdollCrowd[8].position, -0.984f, -0.9f, 0.0f, 0.0f, "figure 0 root");
    expectVector(ragdollCrowd[14993].position, 0.986f, -0.9f, 0.7777778f, 0.0f, "figure 999 root");
    expectVector(ragdollCrowd[0].position, -0.984f, -0.9f, 0.0f, 0.0f, "figure 0 head");
    expectVector(ragdollCrowd[14999].position, 0.986f, -0.9f, 0.7777778f, 0.0f, "last node");
}

TEST_F(InTempDir, FiguresTakeTheirShapeFromTheFileAtOneThirdScale)
{
    ASSERT_TRUE(writeFile(dataFiles::ragdollFigure, figureFile()));
    buildRagdollCrowd();
    EXPECT_EQ(ragdollTemplate[3].x, 4.0f);
    EXPECT_EQ(ragdollTemplate[14].w, 114.0f);

    for (int g : {0, 1, 500, 999}) {
        const Vector4 root = ragdollCrowd[15 * g + 8].position;
        const int column = (15 * g + 8) % 1000;
        EXPECT_NEAR(root.x, column * 0.002f - 1.0f, 1e-6f) << g;
        EXPECT_EQ(root.y, -0.9f) << g;
        for (int k = 0; k < ragdollJointCount; ++k) {
            if (k == ragdollRootJoint) {
                continue;
            }
            const float s = static_cast<float>(k + 1) * 0.32777777f;
            expectVector(ragdollCrowd[15 * g + k].position, root.x + s, root.y + 2 * s,
                         root.z - s, static_cast<float>(100 + k), "joint");
        }
    }

    // Whatever the root record holds, the crowd is the same.
    const RagdollNode before = ragdollCrowd[15 * 7 + 3];
    ASSERT_TRUE(writeFile(dataFiles::ragdollFigure, figureFile(-12345.0f)));
    buildRagdollCrowd();
    const RagdollNode after = ragdollCrowd[15 * 7 + 3];
    EXPECT_EQ(std::memcmp(&before.position, &after.position, sizeof(Vector4)), 0);
    expectVector(ragdollCrowd[15 * 7 + 8].position, (15 * 7 + 8) * 0.002f - 1.0f, -0.9f, 0.0f,
                 0.0f, "root");
}

TEST_F(InTempDir, ShortFileOverwritesOnlyWhatItHolds)
{
    ASSERT_TRUE(writeFile(dataFiles::ragdollFigure, figureFile()));
    buildRagdollCrowd();
    auto bytes = figureFile();
    for (auto& b : bytes) {
        b = 0;
    }
    bytes.resize(20);  // joint 0 and the x of joint 1
    ASSERT_TRUE(writeFile(dataFiles::ragdollFigure, bytes));
    buildRagdollCrowd();
    expectVector(ragdollTemplate[0], 0, 0, 0, 0, "joint 0");
    EXPECT_EQ(ragdollTemplate[1].x, 0.0f);
    EXPECT_EQ(ragdollTemplate[1].y, 4.0f);  // kept from the earlier file
    EXPECT_EQ(ragdollTemplate[14].x, 15.0f);

    // Bytes beyond 240 are not read.
    auto longer = figureFile();
    longer.resize(400, 0xFF);
    readRagdollTemplate(longer.data(), longer.size());
    EXPECT_EQ(ragdollTemplate[14].x, 15.0f);
    EXPECT_EQ(ragdollTemplate[1].y, 4.0f);
}

TEST_F(InTempDir, SkeletonLinksHeadsAndMarks)
{
    buildRagdollCrowd();
    const int counts[] = {1, 4, 4, 4, 2, 1, 2, 1, 5, 3, 3, 2, 1, 2, 1};
    for (int g : {0, 999}) {
        for (int k = 0; k < ragdollJointCount; ++k) {
            const RagdollNode& n = ragdollCrowd[15 * g + k];
            EXPECT_EQ(n.linkCount, counts[k]) << g << ' ' << k;
            EXPECT_EQ(n.isHead, k == 0 ? 1 : 0);
            EXPECT_EQ(n.mark, -2.0f);
            EXPECT_EQ(n.motion.lengthSquared(), 0.0f);
            for (int s = 0; s < n.linkCount; ++s) {
                EXPECT_GE(n.links[s].target, 15 * g);
                EXPECT_LT(n.links[s].target, 15 * g + 15);
            }
        }
    }
    const RagdollNode& root = ragdollCrowd[15 * 999 + 8];
    const int targets[] = {1, 3, 2, 9, 10};
    const float lengths[] = {0.0236f, 0.021239998f, 0.021239998f, 0.010619999f, 0.010619999f};
    for (int s = 0; s < 5; ++s) {
        EXPECT_EQ(root.links[s].target, 15 * 999 + targets[s]);
        EXPECT_EQ(root.links[s].restLength, lengths[s]);
    }
    EXPECT_EQ(ragdollCrowd[0].links[0].restLength, 0.0029499999f);
    EXPECT_EQ(ragdollCrowd[15 * 3 + 11].links[1].target, 15 * 3 + 12);
}

TEST(RagdollFile, ReplaysFuzzRegressions)
{
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(RAGDOLL_REGRESSION_DIR)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
        clearTemplate();
        readRagdollTemplate(bytes.data(), bytes.size());
        buildCrowd();
        // Joint 8 is never taken from the file.
        EXPECT_EQ(ragdollCrowd[8].position.x, -0.984f) << entry.path();
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
}
