#pragma once

#include <cstdint>

// The controller state record, laid out like DirectInput's DIJOYSTATE2
// (272 bytes). The game reads lX (−1000..+1000, centre 0) and buttons 0 and 1
// (0x80 pressed, 0 released; any non-zero byte counts as pressed).
struct JoystickState {
    std::int32_t lX, lY, lZ;
    std::int32_t lRx, lRy, lRz;
    std::int32_t rglSlider[2];
    std::uint32_t rgdwPOV[4];
    std::uint8_t rgbButtons[128];
    std::int32_t lVX, lVY, lVZ;
    std::int32_t lVRx, lVRy, lVRz;
    std::int32_t rglVSlider[2];
    std::int32_t lAX, lAY, lAZ;
    std::int32_t lARx, lARy, lARz;
    std::int32_t rglASlider[2];
    std::int32_t lFX, lFY, lFZ;
    std::int32_t lFRx, lFRy, lFRz;
    std::int32_t rglFSlider[2];
};
static_assert(sizeof(JoystickState) == 272);

// The controller record the game reads: the poll writes it on every turn of
// the message loop, the game's controls write the button that Space presses
// and the conditioned steering axis. One for the whole run.
struct Controller {
    JoystickState joystickState{};
    // 1 at start; cleared when start-up or a read fails, set again when a
    // controller plugged in later is opened.
    int joystickUsable = 1;
};
extern Controller gameController;

constexpr int noControllerFound = -10;

// Opens the first attached game controller. 0 on success, noControllerFound
// when there is none, another negative code on a failed set-up step.
int initJoystick();

// Refreshes gameController.joystickState from the controller, once per
// message-loop turn.
// 0, or the failing code of the state read (which also clears
// gameController.joystickUsable).
// When the game has no usable controller and one has been plugged in, it is
// opened first, as at start-up.
int pollJoystick();
