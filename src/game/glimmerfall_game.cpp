#include "game/glimmerfall_game.h"

#include "game/frame_driver.h"
#include "game/game_flow.h"
#include "game/rendering_setup.h"
#include "input/joystick.h"

void GlimmerfallGame::created()
{
    resetControls(data_.controls);
    data_.session.levelTime = 0.0f;
    resetCamera(data_.camera);
}

void GlimmerfallGame::setupRendering(int width, int height)
{
    ::setupRendering(data_.textures, data_.display, width, height);
}

void GlimmerfallGame::activated(bool active)
{
    if (!active && screenFor(data_.session) == Screen::none) {
        data_.comfort.paused = true;
    }
}

void GlimmerfallGame::frame() { runFrame(data_); }

void GlimmerfallGame::input(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam)
{
    handleInputMessage(data_.controls, gameController, message, wParam, lParam);
}
