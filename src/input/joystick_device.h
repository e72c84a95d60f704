#pragma once

#include <cstdint>

#include "input/joystick.h"

// Result codes of the controller layer: negative means failure.
constexpr int inputLost = static_cast<int>(0x8007001Eu);      // acquire again
constexpr int notAcquired = static_cast<int>(0x8007000Cu);    // poll before acquiring
constexpr int deviceUnplugged = static_cast<int>(0x80040209u); // the controller went away
constexpr int inputSystemFailed = static_cast<int>(0x80004005u);

// One opened game controller. Axes arrive scaled to −1000..+1000 and buttons
// as bytes (0x80 pressed, 0 released).
class JoystickDevice {
public:
    virtual ~JoystickDevice() = default;
    // Brings the device's state up to date; negative when it must be acquired.
    virtual int poll() = 0;
    // Takes the device for this program; inputLost means try again.
    virtual int acquire() = 0;
    // Copies the current state into state; negative (state untouched) on failure.
    virtual int getState(JoystickState& state) = 0;
};

// The opened controller, or null when none was found.
extern JoystickDevice* joystickDevice;

// The platform side, one edge file: starts the controller system (0 or a
// negative code) and opens the first attached controller (null when none),
// closing the one it opened before.
int startJoystickSystem();
JoystickDevice* openFirstJoystick();

// True when a controller was connected since the last call (once the
// controller system has started); each connection is reported once.
bool takeJoystickConnection();

// Scales a raw axis reading (−32768..32767) to −1000..+1000, rounding to the
// nearest: −32768 → −1000, 0 → 0, 32767 → +1000.
constexpr std::int32_t scaleAxis(std::int32_t raw)
{
    return (2000 * (raw + 32768) + 32767) / 65535 - 1000;
}
