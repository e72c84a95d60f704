#include "world/ragdoll.h"

#include <bit>
#include <cstdio>
#include <cstring>

#include "data_files.h"
#include "world/digit_segments.h"

namespace {

struct JointLinks {
    int count;
    RagdollLink links[5];
};

// The skeleton of one figure, in slot order; targets are joint numbers. Three
// rest lengths sit one step below the nearest float of their decimal value.
constexpr JointLinks skeleton[ragdollJointCount] = {
    {1, {{1, 0.0029499999f}}},
    {4, {{0, 0.0029499999f}, {2, 0.013275f}, {3, 0.013275f}, {8, 0.0236f}}},
    {4, {{1, 0.013275f}, {3, 0.0236f}, {8, 0.021239998f}, {4, 0.0118f}}},
    {4, {{1, 0.013275f}, {2, 0.0236f}, {8, 0.021239998f}, {6, 0.0118f}}},
    {2, {{2, 0.0118f}, {5, 0.00885f}}},
    {1, {{4, 0.00885f}}},
    {2, {{3, 0.0118f}, {7, 0.00885f}}},
    {1, {{6, 0.00885f}}},
    {5, {{1, 0.0236f}, {3, 0.021239998f}, {2, 0.021239998f}, {9, 0.010619999f}, {10, 0.010619999f}}},
    {3, {{8, 0.010619999f}, {10, 0.0177f}, {11, 0.01475f}}},
    {3, {{8, 0.010619999f}, {9, 0.0177f}, {13, 0.01475f}}},
    {2, {{9, 0.0177f}, {12, 0.0118f}}},
    {1, {{11, 0.0118f}}},
    {2, {{10, 0.0177f}, {14, 0.0118f}}},
    {1, {{13, 0.0118f}}},
};

constexpr int digitMasks[10] = {123, 72, 61, 109, 78, 103, 118, 73, 127, 79};
constexpr float figureScale = 0.32777777f;

}  // namespace

void readRagdollTemplate(const unsigned char* data, std::size_t size)
{
    // The file is the template's own memory image: fifteen records of four
    // little-endian floats. A short read overwrites only the bytes it has.
    static_assert(std::endian::native == std::endian::little);
    static_assert(sizeof(Vector4) == 16 && sizeof ragdollTemplate == ragdollFileSize);
    const std::size_t n = size < ragdollFileSize ? size : ragdollFileSize;
    if (n > 0) {
        std::memcpy(static_cast<void*>(ragdollTemplate), data, n);
    }
}

bool loadRagdollTemplate(const char* fileName)
{
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) {
        return false;
    }
    unsigned char bytes[ragdollFileSize];
    const std::size_t got = std::fread(bytes, 1, sizeof bytes, file);
    std::fclose(file);
    readRagdollTemplate(bytes, got);
    return true;
}

// Nothing draws or reads the crowd; it is built as the game has always built
// it at every rendering set-up, and it draws no random numbers, so it shapes
// nothing else.
void buildCrowd()
{
    for (int n = 0; n < ragdollNodeCount; ++n) {
        RagdollNode& node = ragdollCrowd[n];
        node.linkCount = 0;
        node.isHead = 0;
        node.mark = -2.0f;
        const int column = n % 1000;
        node.position = Vector4{static_cast<float>(column) * 0.002f - 1.0f, -0.9f,
                                static_cast<float>(n - column) * 5.5555556e-05f, 0.0f};
        node.motion = Vector4{};
        if (n != ragdollNodeCount - 1) {
            node.linkCount = 1;
            node.links[0] = RagdollLink{n + 1, 0.05f};
        }
        if (n != 0) {
            node.linkCount = 1;
            node.links[0] = RagdollLink{n - 1, 0.05f};
        }
    }

    for (int g = 0; g < ragdollFigureCount; ++g) {
        RagdollNode* figure = &ragdollCrowd[ragdollJointCount * g];
        for (int k = 0; k < ragdollJointCount; ++k) {
            RagdollNode& node = figure[k];
            node.linkCount = skeleton[k].count;
            for (int s = 0; s < skeleton[k].count; ++s) {
                node.links[s] = RagdollLink{ragdollJointCount * g + skeleton[k].links[s].target,
                                            skeleton[k].links[s].restLength};
            }
        }
        figure[0].isHead = 1;

        const Vector4 root = figure[ragdollRootJoint].position;
        for (int k = 0; k < ragdollJointCount; ++k) {
            if (k == ragdollRootJoint) {
                continue;
            }
            Vector4 p = ragdollTemplate[k];
            p.scale(figureScale);
            p.add(root);
            figure[k].position = p;
        }
    }
}

void buildRagdollCrowd()
{
    // A missing file leaves the template as it was (zero at the first set-up).
    if (!loadRagdollTemplate(dataFiles::ragdollFigure)) {
        std::fprintf(stderr, "glimmerfall: figure file \"%s\" skipped: cannot be opened\n",
                     dataFiles::ragdollFigure);
    }
    for (int d = 0; d < 10; ++d) {
        digitSegments[d] = digitMasks[d];
    }
    buildCrowd();
}
