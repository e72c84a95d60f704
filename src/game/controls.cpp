#include "game/controls.h"

#include <cmath>
#include <limits>

#include "app/messages.h"
#include "input/joystick.h"

float keyForward = 0.0f;
float keyTurn = 0.0f;
float keyButton = 0.0f;
int leftButtonDown = 0;
int cursorDisplayCount = 0;

namespace {

constexpr std::uint8_t emulatedButton = 0xE8;  // what Space writes into the primary button
constexpr int deadZone = 200;
constexpr std::int32_t steeringLimit = 1000;

void keyDown(std::uint32_t key)
{
    switch (key) {
        case vkSpace:
            keyButton = 1000.0f;
            break;
        case 'W':
            keyForward = 1000.0f;
            break;
        case 'S':
            keyForward = -1000.0f;
            break;
        case 'A':
            keyTurn = 500.0f;
            break;
        case 'D':
            keyTurn = -500.0f;
            break;
        default:
            break;
    }
}

// Releasing a key clears its value only when that key set it, so the most
// recently pressed key of a pair wins.
void keyUp(std::uint32_t key)
{
    switch (key) {
        case vkSpace:
            keyButton = 0.0f;
            // Without a usable controller Space is the only source of the
            // primary button: let it go at once, so that a screen reached
            // while Space was held still waits for a fresh press.
            if (joystickUsable == 0) {
                joystickState.rgbButtons[0] = 0;
            }
            break;
        case 'W':
            if (keyForward > 1.0f) {
                keyForward = 0.0f;
            }
            break;
        case 'S':
            if (keyForward < 1.0f) {
                keyForward = 0.0f;
            }
            break;
        case 'A':
            if (keyTurn > 0.0f) {
                keyTurn = 0.0f;
            }
            break;
        case 'D':
            if (keyTurn < 0.0f) {
                keyTurn = 0.0f;
            }
            break;
        default:
            break;
    }
}

}  // namespace

void resetControls()
{
    leftButtonDown = 0;
    keyForward = 0.0f;
    keyTurn = 0.0f;
    keyButton = 0.0f;
}

void handleInputMessage(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam)
{
    const auto key = static_cast<std::uint32_t>(wParam & 0xFFFFu);
    switch (message) {
        case wmKeyDown:
            if ((lParam & keyRepeatFlag) == 0) {
                keyDown(key);
            }
            break;
        case wmKeyUp:
        case wmSysKeyUp:  // released while Alt is held: still a release
            keyUp(key);
            break;
        case wmLButtonDown:
            leftButtonDown = 1;
            break;
        case wmLButtonUp:
            if (leftButtonDown == 1) {
                leftButtonDown = 0;
                // The cursor is never hidden; showing it only raises its count.
                ++cursorDisplayCount;
            }
            break;
        default:  // mouse motion, right and middle buttons, the wheel
            break;
    }
}

void pressEmulatedButton()
{
    if (keyButton > 0.0f) {
        joystickState.rgbButtons[0] = emulatedButton;
    }
}

void conditionControls()
{
    std::int32_t x = joystickState.lX;
    if (x > -deadZone && x < deadZone) {
        x = 0;
    } else if (x > 0) {
        x -= deadZone;
    } else {
        x += deadZone;
    }
    // The axis may stand anywhere when this runs (the clamp follows the
    // frame); saturate rather than overflow the integer.
    const float steered = static_cast<float>(x) - keyTurn;
    constexpr float lowest = static_cast<float>(std::numeric_limits<std::int32_t>::min());
    if (steered < lowest) {
        joystickState.lX = std::numeric_limits<std::int32_t>::min();
    } else if (steered >= -lowest) {
        joystickState.lX = std::numeric_limits<std::int32_t>::max();
    } else {
        joystickState.lX = static_cast<std::int32_t>(std::trunc(steered));
    }
}

bool primaryPressed() { return joystickState.rgbButtons[0] != 0; }
bool secondaryPressed() { return joystickState.rgbButtons[1] != 0; }
std::uint8_t primaryButton() { return joystickState.rgbButtons[0]; }
std::int32_t steeringAxis() { return joystickState.lX; }

void clampSteering()
{
    if (joystickState.lX > steeringLimit) {
        joystickState.lX = steeringLimit;
    } else if (joystickState.lX < -steeringLimit) {
        joystickState.lX = -steeringLimit;
    }
}

void fixUpControls()
{
    if (joystickUsable == 0) {
        joystickState.rgbButtons[0] = 0;
        joystickState.rgbButtons[1] = 0;
    }
    clampSteering();
}
