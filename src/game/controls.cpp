#include "game/controls.h"

#include <cmath>
#include <limits>

#include "app/messages.h"
#include "input/joystick.h"

namespace {

constexpr std::uint8_t emulatedButton = 0xE8;  // what Space writes into the primary button
constexpr int deadZone = 200;
constexpr std::int32_t steeringLimit = 1000;

void keyDown(Controls& controls, std::uint32_t key)
{
    switch (key) {
        case vkSpace:
            controls.keyButton = 1000.0f;
            controls.spacePressed = true;
            break;
        case 'W':
            controls.keyForward = 1000.0f;
            break;
        case 'S':
            controls.keyForward = -1000.0f;
            break;
        case 'A':
            controls.keyTurn = 500.0f;
            break;
        case 'D':
            controls.keyTurn = -500.0f;
            break;
        case 'P':
        case vkEscape:
            controls.pausePressed = true;
            break;
        case vkOemMinus:
        case vkSubtract:
            controls.quieterPressed = true;
            break;
        case vkOemPlus:
        case vkAdd:
            controls.louderPressed = true;
            break;
        case 'M':
            controls.musicPressed = true;
            break;
        default:
            break;
    }
}

// Releasing a key clears its value only when that key set it, so the most
// recently pressed key of a pair wins.
void keyUp(Controls& controls, Controller& controller, std::uint32_t key)
{
    switch (key) {
        case vkSpace:
            controls.keyButton = 0.0f;
            // Without a usable controller Space is the only source of the
            // primary button: let it go at once, so that a screen reached
            // while Space was held still waits for a fresh press.
            if (controller.joystickUsable == 0) {
                controller.joystickState.rgbButtons[0] = 0;
            }
            break;
        case 'W':
            if (controls.keyForward > 1.0f) {
                controls.keyForward = 0.0f;
            }
            break;
        case 'S':
            if (controls.keyForward < 1.0f) {
                controls.keyForward = 0.0f;
            }
            break;
        case 'A':
            if (controls.keyTurn > 0.0f) {
                controls.keyTurn = 0.0f;
            }
            break;
        case 'D':
            if (controls.keyTurn < 0.0f) {
                controls.keyTurn = 0.0f;
            }
            break;
        default:
            break;
    }
}

}  // namespace

void resetControls(Controls& controls)
{
    controls.leftButtonDown = 0;
    controls.keyForward = 0.0f;
    controls.keyTurn = 0.0f;
    controls.keyButton = 0.0f;
    controls.pausePressed = false;
    controls.quieterPressed = false;
    controls.louderPressed = false;
    controls.musicPressed = false;
    controls.spacePressed = false;
}

void handleInputMessage(Controls& controls, Controller& controller, std::uint32_t message,
                        std::uint64_t wParam, std::int64_t lParam)
{
    const auto key = static_cast<std::uint32_t>(wParam & 0xFFFFu);
    switch (message) {
        case wmKeyDown:
            if ((lParam & keyRepeatFlag) == 0) {
                keyDown(controls, key);
            }
            break;
        case wmKeyUp:
        case wmSysKeyUp:  // released while Alt is held: still a release
            keyUp(controls, controller, key);
            break;
        case wmLButtonDown:
            controls.leftButtonDown = 1;
            break;
        case wmLButtonUp:
            if (controls.leftButtonDown == 1) {
                controls.leftButtonDown = 0;
                // The cursor is never hidden; showing it only raises its count.
                ++controls.cursorDisplayCount;
            }
            break;
        default:  // mouse motion, right and middle buttons, the wheel
            break;
    }
}

void pressEmulatedButton(const Controls& controls, Controller& controller)
{
    if (controls.keyButton > 0.0f) {
        controller.joystickState.rgbButtons[0] = emulatedButton;
    }
}

void conditionControls(const Controls& controls, Controller& controller)
{
    std::int32_t& lX = controller.joystickState.lX;
    std::int32_t x = lX;
    if (x > -deadZone && x < deadZone) {
        x = 0;
    } else if (x > 0) {
        x -= deadZone;
    } else {
        x += deadZone;
    }
    // The axis may stand anywhere when this runs (the clamp follows the
    // frame); saturate rather than overflow the integer.
    const float steered = static_cast<float>(x) - controls.keyTurn;
    constexpr float lowest = static_cast<float>(std::numeric_limits<std::int32_t>::min());
    if (steered < lowest) {
        lX = std::numeric_limits<std::int32_t>::min();
    } else if (steered >= -lowest) {
        lX = std::numeric_limits<std::int32_t>::max();
    } else {
        lX = static_cast<std::int32_t>(std::trunc(steered));
    }
}

bool primaryPressed(const Controller& controller) { return controller.joystickState.rgbButtons[0] != 0; }
bool secondaryPressed(const Controller& controller) { return controller.joystickState.rgbButtons[1] != 0; }
std::uint8_t primaryButton(const Controller& controller) { return controller.joystickState.rgbButtons[0]; }
std::int32_t steeringAxis(const Controller& controller) { return controller.joystickState.lX; }

void clampSteering(Controller& controller)
{
    std::int32_t& lX = controller.joystickState.lX;
    if (lX > steeringLimit) {
        lX = steeringLimit;
    } else if (lX < -steeringLimit) {
        lX = -steeringLimit;
    }
}

void fixUpControls(Controller& controller)
{
    if (controller.joystickUsable == 0) {
        controller.joystickState.rgbButtons[0] = 0;
        controller.joystickState.rgbButtons[1] = 0;
    }
    clampSteering(controller);
}
