#pragma once

#include "app/game.h"

// The game the hosts hand to the shell: its state lives in the game's globals
// (frame driver, controls, camera, world), so any number of these drive the
// same one game.
class GlimmerfallGame final : public Game {
public:
    // Controls and clock back to zero, the camera back at its start.
    void created() override;
    // Nothing to do: the camera pass loads view and projection every frame.
    void resized() override;
    // runFrame: a screen or a frame of play.
    void frame() override;
    // The keyboard and mouse handlers (handleInputMessage).
    void input(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam) override;
};
