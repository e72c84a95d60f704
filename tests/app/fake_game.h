#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/game.h"

// A game that records what the shell asks of it, in order: "created",
// "setupRendering W H" with the client area's size, "active" or "inactive",
// "frame", or "input M W L" with the message's three numbers.
// onCreated and onFrame, when set, run inside those calls.
class FakeGame final : public Game {
public:
    void created() override
    {
        calls.emplace_back("created");
        if (onCreated) onCreated();
    }
    void setupRendering(int width, int height) override
    {
        calls.push_back("setupRendering " + std::to_string(width) + " " + std::to_string(height));
    }
    void activated(bool active) override { calls.emplace_back(active ? "active" : "inactive"); }
    void frame() override
    {
        ++frames;
        calls.emplace_back("frame");
        if (onFrame) onFrame();
    }
    void input(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam) override
    {
        calls.push_back("input " + std::to_string(message) + " " + std::to_string(wParam) + " " +
                        std::to_string(lParam));
    }

    std::vector<std::string> calls;
    int frames = 0;
    std::function<void()> onCreated;
    std::function<void()> onFrame;
};
