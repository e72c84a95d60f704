#include "game/glimmerfall_game.h"

#include "game/camera.h"
#include "game/controls.h"
#include "game/frame_driver.h"
#include "world/level.h"

void GlimmerfallGame::created()
{
    resetControls();
    levelTime = 0.0f;
    resetCamera();
}

void GlimmerfallGame::resized() {}

void GlimmerfallGame::frame() { runFrame(); }

void GlimmerfallGame::input(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam)
{
    handleInputMessage(message, wParam, lParam);
}
