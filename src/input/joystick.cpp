#include "input/joystick.h"

#include "input/joystick_device.h"

Controller gameController;
JoystickDevice* joystickDevice = nullptr;

namespace {

// A device that keeps answering "input lost" is given up on after this many
// attempts in one poll, so a broken driver cannot hang the game.
constexpr int acquireAttempts = 64;

}  // namespace

int initJoystick()
{
    const int started = startJoystickSystem();
    if (started < 0) {
        return started;
    }
    joystickDevice = openFirstJoystick();
    if (joystickDevice == nullptr) {
        return noControllerFound;
    }
    // The platform side delivers the axes already in −1000..+1000.
    return 0;
}

int pollJoystick()
{
    // A controller plugged in while the game plays on the keyboard (none at
    // start, or the one in use pulled out) takes over. Connections while a
    // controller is in use are passed over.
    if (takeJoystickConnection() && (joystickDevice == nullptr || gameController.joystickUsable == 0)) {
        joystickDevice = openFirstJoystick();
        gameController.joystickUsable = joystickDevice != nullptr ? 1 : 0;
    }
    if (joystickDevice == nullptr) {
        return 0;
    }
    if (joystickDevice->poll() < 0) {
        // Not ours (yet, or any more): acquire it and read on the next turn;
        // the state keeps its last values meanwhile.
        int attempts = 1;
        while (joystickDevice->acquire() == inputLost && attempts < acquireAttempts) {
            ++attempts;
        }
        return 0;
    }
    const int read = joystickDevice->getState(gameController.joystickState);
    if (read < 0) {
        gameController.joystickUsable = 0;
        return read;
    }
    return 0;
}
