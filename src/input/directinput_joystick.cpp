#include "input/directinput_joystick.h"

#include <cstring>
#include <new>

#include "input/joystick_device.h"

static_assert(sizeof(DIJOYSTATE2) == sizeof(JoystickState));
static_assert(offsetof(DIJOYSTATE2, rgbButtons) == offsetof(JoystickState, rgbButtons));

namespace {

HWND joystickWindow = nullptr;
DirectInputCreateFunction directInputCreate = DirectInput8Create;
IDirectInput8W* directInput = nullptr;
bool devicesChanged = false;

// Sets an axis to −1000..+1000. Stops the set-up at the first axis that
// refuses the range.
BOOL CALLBACK rangeAxis(LPCDIDEVICEOBJECTINSTANCEW object, LPVOID context)
{
    if ((object->dwType & DIDFT_AXIS) == 0) {
        return DIENUM_CONTINUE;
    }
    DIPROPRANGE range{};
    range.diph.dwSize = sizeof range;
    range.diph.dwHeaderSize = sizeof range.diph;
    range.diph.dwObj = object->dwType;
    range.diph.dwHow = DIPH_BYID;
    range.lMin = -1000;
    range.lMax = +1000;
    auto* device = static_cast<IDirectInputDevice8W*>(context);
    return FAILED(device->SetProperty(DIPROP_RANGE, &range.diph)) ? DIENUM_STOP : DIENUM_CONTINUE;
}

// The first controller that can be made is the one used.
BOOL CALLBACK takeFirst(LPCDIDEVICEINSTANCEW instance, LPVOID context)
{
    auto** device = static_cast<IDirectInputDevice8W**>(context);
    return SUCCEEDED(directInput->CreateDevice(instance->guidInstance, device, nullptr)) ? DIENUM_STOP
                                                                                          : DIENUM_CONTINUE;
}

class DirectInputJoystick final : public JoystickDevice {
public:
    explicit DirectInputJoystick(IDirectInputDevice8W* device) : device_(device) {}
    ~DirectInputJoystick() override
    {
        device_->Unacquire();
        device_->Release();
    }
    DirectInputJoystick(const DirectInputJoystick&) = delete;
    DirectInputJoystick& operator=(const DirectInputJoystick&) = delete;

    int poll() override
    {
        // A controller that went away is not acquired again: the state read
        // reports it, and the game goes back to the keyboard.
        return unplugged_ ? 0 : device_->Poll();
    }

    int acquire() override
    {
        const HRESULT hr = device_->Acquire();
        unplugged_ = hr == static_cast<HRESULT>(DIERR_UNPLUGGED);
        return hr;
    }

    int getState(JoystickState& state) override
    {
        if (unplugged_) {
            return deviceUnplugged;
        }
        DIJOYSTATE2 s{};
        const HRESULT hr = device_->GetDeviceState(sizeof s, &s);
        if (FAILED(hr)) {
            return hr;
        }
        std::memcpy(&state, &s, sizeof state);
        return 0;
    }

private:
    IDirectInputDevice8W* device_;
    bool unplugged_ = false;
};

DirectInputJoystick* opened = nullptr;

}  // namespace

void setJoystickWindow(HWND window) { joystickWindow = window; }

void noteJoystickDevicesChanged() { devicesChanged = true; }

void setDirectInputCreate(DirectInputCreateFunction create)
{
    directInputCreate = create != nullptr ? create : DirectInput8Create;
}

int startJoystickSystem()
{
    delete opened;
    opened = nullptr;
    joystickDevice = nullptr;
    if (directInput != nullptr) {
        directInput->Release();
        directInput = nullptr;
    }
    devicesChanged = false;
    void* made = nullptr;
    const HRESULT hr =
        directInputCreate(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8W, &made, nullptr);
    if (FAILED(hr)) {
        return hr;
    }
    directInput = static_cast<IDirectInput8W*>(made);
    return 0;
}

bool takeJoystickConnection()
{
    const bool changed = devicesChanged;
    devicesChanged = false;
    return changed;
}

JoystickDevice* openFirstJoystick()
{
    delete opened;
    opened = nullptr;
    if (directInput == nullptr) {
        return nullptr;
    }
    IDirectInputDevice8W* device = nullptr;
    if (FAILED(directInput->EnumDevices(DI8DEVCLASS_GAMECTRL, takeFirst, &device, DIEDFL_ATTACHEDONLY)) ||
        device == nullptr) {
        return nullptr;
    }
    if (FAILED(device->SetDataFormat(&c_dfDIJoystick2)) ||
        FAILED(device->SetCooperativeLevel(joystickWindow, DISCL_EXCLUSIVE | DISCL_FOREGROUND)) ||
        FAILED(device->EnumObjects(rangeAxis, device, DIDFT_ALL))) {
        device->Release();
        return nullptr;
    }
    opened = new (std::nothrow) DirectInputJoystick(device);
    if (opened == nullptr) {
        device->Release();
    }
    return opened;
}
