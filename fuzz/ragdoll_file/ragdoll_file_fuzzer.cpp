// Feeds arbitrary bytes to the figure reader and builds the crowd from them.
// Whatever the file holds, every link must stay inside its own figure and the
// roots must stand where the layout puts them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "world/ragdoll.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    for (Vector4& v : ragdollTemplate) {
        v = Vector4{};
    }
    readRagdollTemplate(data, size);
    buildCrowd();
    for (int g = 0; g < ragdollFigureCount; g += 111) {
        for (int k = 0; k < ragdollJointCount; ++k) {
            const RagdollNode& n = ragdollCrowd[ragdollJointCount * g + k];
            if (n.linkCount < 1 || n.linkCount > 5) {
                std::abort();
            }
            for (int s = 0; s < n.linkCount; ++s) {
                const int t = n.links[s].target;
                if (t < ragdollJointCount * g || t >= ragdollJointCount * (g + 1)) {
                    std::abort();
                }
            }
        }
        const Vector4 root = ragdollCrowd[ragdollJointCount * g + ragdollRootJoint].position;
        if (root.y != -0.9f || root.w != 0.0f) {
            std::abort();
        }
    }
    return 0;
}
