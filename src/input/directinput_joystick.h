#pragma once

// The controller through DirectInput 8, the Windows build's joystick device:
// the first attached game controller, read in DirectInput's DIJOYSTATE2
// format with every axis ranged −1000..+1000, taken exclusively while the
// game's window is in the foreground.
#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>
#include <dinput.h>

// The window the controller is taken for. The Windows host names its window
// before the controller is opened.
void setJoystickWindow(HWND window);

// The host passes on Windows' news that devices came or went
// (WM_DEVICECHANGE): the next poll looks for a controller again when the
// game has none in use.
void noteJoystickDevicesChanged();

// Makes the DirectInput object: DirectInput8Create unless a test installs
// its own (null puts DirectInput8Create back).
using DirectInputCreateFunction = HRESULT(WINAPI*)(HINSTANCE instance, DWORD version, REFIID iid, LPVOID* out,
                                                   LPUNKNOWN outer);
void setDirectInputCreate(DirectInputCreateFunction create);
