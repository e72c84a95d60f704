#include "game/controls.h"

#include "app/messages.h"
#include "input/joystick.h"

float keyForward = 0.0f;
float keyTurn = 0.0f;
float keyButton = 0.0f;
int leftButtonDown = 0;
int cursorDisplayCount = 0;

namespace {

void keyDown(std::uint32_t key)
{
    switch (key) {
        case VK_SPACE:
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
        case VK_SPACE:
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
        case WM_KEYDOWN:
            if ((lParam & keyRepeatFlag) == 0) {
                keyDown(key);
            }
            break;
        case WM_KEYUP:
            keyUp(key);
            break;
        case WM_LBUTTONDOWN:
            leftButtonDown = 1;
            break;
        case WM_LBUTTONUP:
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
