#pragma once

// The effects of "Drift". The piece is a loop, so each effect runs round it
// twice and only its second pass is heard: the tails of the end ring on into
// the start, and the file loops without a seam.

#include <vector>

namespace music {

// Ping-pong echo of `send` (a delay of `delay` samples; repeats alternate
// left and right, darker each time), added to left and right at `level`.
void addEcho(const std::vector<float>& send, int delay, float level, std::vector<float>& left,
             std::vector<float>& right);

// A small Schroeder reverb of `send`, added to left and right at `level`.
void addReverb(const std::vector<float>& send, float level, std::vector<float>& left,
               std::vector<float>& right);

}  // namespace music
