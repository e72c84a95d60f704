// The controller through SDL: the first pad that SDL's game-controller
// database knows (A is button 0, B button 1, Start button 7, the left
// stick's X is lX), else the first raw joystick (its buttons and axes in
// their own order).
#include <SDL.h>

#include <atomic>
#include <iterator>
#include <new>

#include "input/joystick_device.h"

namespace {

std::uint8_t buttonByte(bool pressed) { return pressed ? 0x80 : 0x00; }

class SdlControllerDevice final : public JoystickDevice {
public:
    explicit SdlControllerDevice(SDL_GameController* pad) : pad_(pad) {}

    int poll() override
    {
        SDL_GameControllerUpdate();
        return 0;
    }

    int acquire() override { return 0; }

    int getState(JoystickState& state) override
    {
        if (!SDL_GameControllerGetAttached(pad_)) {
            return deviceUnplugged;
        }
        JoystickState s{};
        auto axis = [this](SDL_GameControllerAxis a) {
            return scaleAxis(SDL_GameControllerGetAxis(pad_, a));
        };
        s.lX = axis(SDL_CONTROLLER_AXIS_LEFTX);
        s.lY = axis(SDL_CONTROLLER_AXIS_LEFTY);
        s.lZ = axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT);
        s.lRx = axis(SDL_CONTROLLER_AXIS_RIGHTX);
        s.lRy = axis(SDL_CONTROLLER_AXIS_RIGHTY);
        s.lRz = axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
        for (auto& pov : s.rgdwPOV) {
            pov = 0xFFFFFFFFu;  // centred
        }
        // The buttons where the usual pads have them: A 0, B 1, X 2, Y 3, the
        // shoulders 4 and 5, Back 6, Start 7, the sticks' presses 8 and 9.
        constexpr SDL_GameControllerButton layout[] = {
            SDL_CONTROLLER_BUTTON_A,           SDL_CONTROLLER_BUTTON_B,         SDL_CONTROLLER_BUTTON_X,
            SDL_CONTROLLER_BUTTON_Y,           SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
            SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, SDL_CONTROLLER_BUTTON_BACK,   SDL_CONTROLLER_BUTTON_START,
            SDL_CONTROLLER_BUTTON_LEFTSTICK,   SDL_CONTROLLER_BUTTON_RIGHTSTICK};
        for (int b = 0; b < static_cast<int>(std::size(layout)); ++b) {
            s.rgbButtons[b] = buttonByte(SDL_GameControllerGetButton(pad_, layout[b]) != 0);
        }
        state = s;
        return 0;
    }

private:
    SDL_GameController* pad_;
};

class SdlJoystickDevice final : public JoystickDevice {
public:
    explicit SdlJoystickDevice(SDL_Joystick* stick) : stick_(stick) {}

    int poll() override
    {
        SDL_JoystickUpdate();
        return 0;
    }

    int acquire() override { return 0; }

    int getState(JoystickState& state) override
    {
        if (!SDL_JoystickGetAttached(stick_)) {
            return deviceUnplugged;
        }
        JoystickState s{};
        std::int32_t* axes[] = {&s.lX, &s.lY, &s.lZ, &s.lRx, &s.lRy, &s.lRz};
        const int axisCount = SDL_JoystickNumAxes(stick_);
        for (int a = 0; a < axisCount && a < 6; ++a) {
            *axes[a] = scaleAxis(SDL_JoystickGetAxis(stick_, a));
        }
        for (auto& pov : s.rgdwPOV) {
            pov = 0xFFFFFFFFu;
        }
        const int buttonCount = SDL_JoystickNumButtons(stick_);
        for (int b = 0; b < buttonCount && b < 128; ++b) {
            s.rgbButtons[b] = buttonByte(SDL_JoystickGetButton(stick_, b) != 0);
        }
        state = s;
        return 0;
    }

private:
    SDL_Joystick* stick_;
};

// The device lives until another one replaces it or the process ends, like
// the game's other devices.
alignas(SdlControllerDevice) unsigned char controllerStorage[sizeof(SdlControllerDevice)];
alignas(SdlJoystickDevice) unsigned char joystickStorage[sizeof(SdlJoystickDevice)];
SDL_GameController* openedPad = nullptr;
SDL_Joystick* openedStick = nullptr;

// SDL's device-added events, counted as SDL queues them, whoever drains the
// queue afterwards. Atomic: SDL may detect devices on a thread of its own.
std::atomic<bool> connected{false};

int SDLCALL watchConnections(void*, SDL_Event* e)
{
    if (e->type == SDL_JOYDEVICEADDED) {
        connected.store(true);
    }
    return 1;
}

}  // namespace

int startJoystickSystem()
{
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        return inputSystemFailed;
    }
    // Devices present now are opened by the caller; later ones are announced.
    // Handles of an earlier start went with that start.
    openedPad = nullptr;
    openedStick = nullptr;
    SDL_DelEventWatch(watchConnections, nullptr);
    SDL_AddEventWatch(watchConnections, nullptr);
    connected.store(false);
    return 0;
}

bool takeJoystickConnection()
{
    return connected.exchange(false);
}

JoystickDevice* openFirstJoystick()
{
    if (openedPad != nullptr) {
        SDL_GameControllerClose(openedPad);
        openedPad = nullptr;
    }
    if (openedStick != nullptr) {
        SDL_JoystickClose(openedStick);
        openedStick = nullptr;
    }
    const int count = SDL_NumJoysticks();
    for (int i = 0; i < count; ++i) {
        if (!SDL_IsGameController(i)) {
            continue;
        }
        if (SDL_GameController* pad = SDL_GameControllerOpen(i)) {
            openedPad = pad;
            return new (controllerStorage) SdlControllerDevice(pad);
        }
    }
    for (int i = 0; i < count; ++i) {
        if (SDL_Joystick* stick = SDL_JoystickOpen(i)) {
            openedStick = stick;
            return new (joystickStorage) SdlJoystickDevice(stick);
        }
    }
    return nullptr;
}
