// The standing figure that every crowd member copies: fifteen joints
// around the pelvis root, y up, facing +z. The game scales the figure by
// 0.32777777, so the distances below are the skeleton's rest lengths
// divided by that factor (the head sits 0.009 above the neck, the upper
// arm is 0.036 long, and so on).

#include <array>
#include <bit>
#include <cstring>

#include "file_makers.h"

namespace {

struct Joint {
    float x, y, z, w;
};

constexpr std::array<Joint, 15> figure{{
    {0.0f, 0.081f, 0.0f, 0.0f},         // 0 head
    {0.0f, 0.072f, 0.0f, 0.0f},         // 1 neck
    {0.036f, 0.0535f, 0.0f, 0.0f},      // 2 left shoulder
    {-0.036f, 0.0535f, 0.0f, 0.0f},     // 3 right shoulder
    {0.040f, 0.0177f, 0.004f, 0.0f},    // 4 left elbow
    {0.042f, -0.0086f, 0.010f, 0.0f},   // 5 left hand
    {-0.040f, 0.0177f, 0.004f, 0.0f},   // 6 right elbow
    {-0.042f, -0.0086f, 0.010f, 0.0f},  // 7 right hand
    {0.0f, 0.0f, 0.0f, 0.0f},           // 8 pelvis, the root
    {0.027f, -0.0179f, 0.0f, 0.0f},     // 9 left hip
    {-0.027f, -0.0179f, 0.0f, 0.0f},    // 10 right hip
    {0.029f, -0.0629f, 0.003f, 0.0f},   // 11 left knee
    {0.030f, -0.0989f, 0.0f, 0.0f},     // 12 left foot
    {-0.029f, -0.0629f, 0.003f, 0.0f},  // 13 right knee
    {-0.030f, -0.0989f, 0.0f, 0.0f},    // 14 right foot
}};

void putFloat(std::vector<std::uint8_t>& out, float value)
{
    const auto bits = std::bit_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(bits >> shift));
    }
}

}  // namespace

std::vector<std::uint8_t> makeFigure()
{
    std::vector<std::uint8_t> out;
    out.reserve(figure.size() * 16);
    for (const Joint& j : figure) {
        putFloat(out, j.x);
        putFloat(out, j.y);
        putFloat(out, j.z);
        putFloat(out, j.w);
    }
    return out;
}
