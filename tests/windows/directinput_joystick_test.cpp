// The DirectInput controller over a fake of DirectInput's interfaces, for
// what Wine cannot show (a pad plugged in later, one pulled out), and over
// Wine's real DirectInput, which finds no pad here.
#include "input/directinput_joystick.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/joystick.h"
#include "input/joystick_device.h"

namespace {

class FakePad final : public IDirectInputDevice8W {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE GetCapabilities(LPDIDEVCAPS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKW callback, LPVOID context, DWORD) override
    {
        for (DWORD type : objects) {
            DIDEVICEOBJECTINSTANCEW o{};
            o.dwSize = sizeof o;
            o.dwType = type;
            if (callback(&o, context) == DIENUM_STOP) break;
        }
        return DI_OK;
    }
    HRESULT STDMETHODCALLTYPE GetProperty(REFGUID, LPDIPROPHEADER) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetProperty(REFGUID property, LPCDIPROPHEADER header) override
    {
        if (&property != &DIPROP_RANGE || header->dwSize != sizeof(DIPROPRANGE) ||
            header->dwHeaderSize != sizeof(DIPROPHEADER) || header->dwHow != DIPH_BYID) {
            return DIERR_INVALIDPARAM;
        }
        const auto* range = reinterpret_cast<const DIPROPRANGE*>(header);
        ranged.push_back(std::to_string(header->dwObj) + ": " + std::to_string(range->lMin) + ".." +
                         std::to_string(range->lMax));
        return header->dwObj == refusingObject ? DIERR_UNSUPPORTED : DI_OK;
    }
    HRESULT STDMETHODCALLTYPE Acquire() override
    {
        if (!attached) return DIERR_UNPLUGGED;
        acquired = true;
        return DI_OK;
    }
    HRESULT STDMETHODCALLTYPE Unacquire() override
    {
        acquired = false;
        return DI_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDeviceState(DWORD size, LPVOID out) override
    {
        if (!attached) return DIERR_INPUTLOST;
        if (!acquired) return DIERR_NOTACQUIRED;
        if (size != sizeof(DIJOYSTATE2)) return DIERR_INVALIDPARAM;
        *static_cast<DIJOYSTATE2*>(out) = state;
        return DI_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDeviceData(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetDataFormat(LPCDIDATAFORMAT format) override
    {
        dataFormat = format;
        return DI_OK;
    }
    HRESULT STDMETHODCALLTYPE SetEventNotification(HANDLE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND w, DWORD flags) override
    {
        window = w;
        cooperation = flags;
        return DI_OK;
    }
    HRESULT STDMETHODCALLTYPE GetObjectInfo(LPDIDEVICEOBJECTINSTANCEW, DWORD, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDeviceInfo(LPDIDEVICEINSTANCEW) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RunControlPanel(HWND, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE, DWORD, REFGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateEffect(REFGUID, LPCDIEFFECT, LPDIRECTINPUTEFFECT*, LPUNKNOWN) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumEffects(LPDIENUMEFFECTSCALLBACKW, LPVOID, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetEffectInfo(LPDIEFFECTINFOW, REFGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetForceFeedbackState(LPDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SendForceFeedbackCommand(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumCreatedEffectObjects(LPDIENUMCREATEDEFFECTOBJECTSCALLBACK, LPVOID, DWORD) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Escape(LPDIEFFESCAPE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Poll() override
    {
        ++polls;
        if (!attached) return DIERR_INPUTLOST;
        return acquired ? DI_NOEFFECT : DIERR_NOTACQUIRED;
    }
    HRESULT STDMETHODCALLTYPE SendDeviceData(DWORD, LPCDIDEVICEOBJECTDATA, LPDWORD, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumEffectsInFile(LPCWSTR, LPDIENUMEFFECTSINFILECALLBACK, LPVOID, DWORD) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE WriteEffectToFile(LPCWSTR, DWORD, LPDIFILEEFFECT, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BuildActionMap(LPDIACTIONFORMATW, LPCWSTR, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetActionMap(LPDIACTIONFORMATW, LPCWSTR, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetImageInfo(LPDIDEVICEIMAGEINFOHEADERW) override { return E_NOTIMPL; }

    bool attached = true;
    bool acquired = false;
    ULONG references = 1;
    int polls = 0;
    DIJOYSTATE2 state{};
    // An X and a Y axis, a button and a Z axis, by their types.
    std::vector<DWORD> objects = {DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(0), DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(1),
                                  DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(0), DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(2)};
    DWORD refusingObject = 0xFFFFFFFF;
    std::vector<std::string> ranged;
    LPCDIDATAFORMAT dataFormat = nullptr;
    HWND window = nullptr;
    DWORD cooperation = 0;
};

class FakeDirectInput final : public IDirectInput8W {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateDevice(REFGUID, LPDIRECTINPUTDEVICE8W* out, LPUNKNOWN) override
    {
        pad->references = 1;
        *out = pad;
        return DI_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumDevices(DWORD type, LPDIENUMDEVICESCALLBACKW callback, LPVOID context,
                                          DWORD flags) override
    {
        ++enumerations;
        if (type == DI8DEVCLASS_GAMECTRL && flags == DIEDFL_ATTACHEDONLY && pad != nullptr && pad->attached) {
            DIDEVICEINSTANCEW instance{};
            instance.dwSize = sizeof instance;
            callback(&instance, context);
        }
        return DI_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDeviceStatus(REFGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RunControlPanel(HWND, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindDevice(REFGUID, LPCWSTR, LPGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDevicesBySemantics(LPCWSTR, LPDIACTIONFORMATW, LPDIENUMDEVICESBYSEMANTICSCBW,
                                                     LPVOID, DWORD) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ConfigureDevices(LPDICONFIGUREDEVICESCALLBACK, LPDICONFIGUREDEVICESPARAMSW, DWORD,
                                               LPVOID) override
    {
        return E_NOTIMPL;
    }

    FakePad* pad = nullptr;  // the one pad that may be plugged in
    int enumerations = 0;
};

// Alive for the whole program, as DirectInput's objects are: the edge file
// keeps them past a test.
FakePad pad;
FakeDirectInput input;
FakeDirectInput* fakeInput = &input;

HRESULT WINAPI createFake(HINSTANCE, DWORD version, REFIID iid, LPVOID* out, LPUNKNOWN)
{
    if (version != 0x0800 || iid != IID_IDirectInput8W) return DIERR_INVALIDPARAM;
    *out = static_cast<IDirectInput8W*>(fakeInput);
    return DI_OK;
}

const HWND gameWindow = reinterpret_cast<HWND>(0x4711);

class DirectInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pad = FakePad{};
        input = FakeDirectInput{};
        setDirectInputCreate(createFake);
        setJoystickWindow(gameWindow);
        gameController.joystickState = JoystickState{};
        gameController.joystickUsable = 1;
        pad.state.lX = 640;
        pad.state.rgbButtons[0] = 0x80;
    }
    void TearDown() override { setDirectInputCreate(nullptr); }

    // What the game's start does: no pad means the keyboard alone.
    int startAsTheGameDoes()
    {
        const int result = initJoystick();
        if (result != 0) gameController.joystickUsable = 0;
        return result;
    }
};

TEST_F(DirectInputTest, APadPluggedInLaterIsTakenUpWithItsAxesRangedAndRead)
{
    EXPECT_EQ(startAsTheGameDoes(), noControllerFound);
    EXPECT_EQ(joystickDevice, nullptr);

    input.pad = &pad;  // plugged in; nothing looks until Windows says so
    EXPECT_EQ(pollJoystick(), 0);
    EXPECT_EQ(input.enumerations, 1);
    EXPECT_EQ(joystickDevice, nullptr);

    noteJoystickDevicesChanged();  // WM_DEVICECHANGE
    EXPECT_EQ(pollJoystick(), 0);
    ASSERT_NE(joystickDevice, nullptr);
    EXPECT_EQ(gameController.joystickUsable, 1);
    EXPECT_EQ(pad.dataFormat, &c_dfDIJoystick2);
    EXPECT_EQ(pad.window, gameWindow);
    EXPECT_EQ(pad.cooperation, DWORD{DISCL_EXCLUSIVE | DISCL_FOREGROUND});
    const std::vector<std::string> ranged = {"2: -1000..1000", "258: -1000..1000", "514: -1000..1000"};
    EXPECT_EQ(pad.ranged, ranged);  // every axis, no button
    // Not acquired yet: this turn acquires, the next one reads.
    EXPECT_TRUE(pad.acquired);
    EXPECT_EQ(gameController.joystickState.lX, 0);
    EXPECT_EQ(pollJoystick(), 0);
    EXPECT_EQ(gameController.joystickState.lX, 640);
    EXPECT_EQ(gameController.joystickState.rgbButtons[0], 0x80);
}

TEST_F(DirectInputTest, APadPulledOutHandsOverToTheKeyboardUntilOneIsPluggedInAgain)
{
    input.pad = &pad;
    ASSERT_EQ(startAsTheGameDoes(), 0);
    pollJoystick();
    pollJoystick();
    ASSERT_EQ(gameController.joystickState.lX, 640);

    pad.attached = false;
    pad.acquired = false;
    for (int turn = 0; turn < 3; ++turn) {
        pollJoystick();
    }
    EXPECT_EQ(gameController.joystickUsable, 0);
    EXPECT_EQ(gameController.joystickState.lX, 640);  // the last reading stays

    pad.attached = true;
    pad.state.lX = -300;
    noteJoystickDevicesChanged();
    pollJoystick();
    pollJoystick();
    EXPECT_EQ(gameController.joystickUsable, 1);
    EXPECT_EQ(gameController.joystickState.lX, -300);
}

TEST_F(DirectInputTest, AnAxisRefusingItsRangeEndsTheAxisSetUpButThePadIsUsed)
{
    input.pad = &pad;
    pad.refusingObject = DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(1);
    EXPECT_EQ(startAsTheGameDoes(), 0);
    const std::vector<std::string> ranged = {"2: -1000..1000", "258: -1000..1000"};
    EXPECT_EQ(pad.ranged, ranged);
    pollJoystick();
    pollJoystick();
    EXPECT_EQ(gameController.joystickState.lX, 640);
}

TEST_F(DirectInputTest, WinesDirectInputFindsNoPadAndTheGamePlaysOnTheKeyboard)
{
    setDirectInputCreate(nullptr);
    EXPECT_EQ(startAsTheGameDoes(), noControllerFound);
    EXPECT_EQ(gameController.joystickUsable, 0);
    EXPECT_EQ(pollJoystick(), 0);
}

}  // namespace
