#pragma once

#include "app/game.h"
#include "game/game_data.h"

// The game the hosts hand to the shell. Its state is the GameData it is
// given, which the host keeps in fixed storage for the whole run (so a test
// or the runner can look at it, or give its own).
class GlimmerfallGame final : public Game {
public:
    explicit GlimmerfallGame(GameData& data) : data_(data) {}

    // Controls and clock back to zero, the camera back at its start.
    void created() override;
    // The GL state, the textures, lighting, the figure and digit tables and
    // the viewport (game/rendering_setup.h).
    void setupRendering(int width, int height) override;
    // Losing the focus pauses play (screens are never paused).
    void activated(bool active) override;
    // runFrame: a screen or a frame of play.
    void frame() override;
    // The keyboard and mouse handlers (handleInputMessage).
    void input(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam) override;

    GameData& data() { return data_; }

private:
    GameData& data_;
};
