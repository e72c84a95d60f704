#include "app/win32_window_host.h"

#include <commctrl.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/win32_resources.h"
#include "app/win32_text.h"
#include "audio/directsound_device.h"
#include "input/directinput_joystick.h"

namespace {

constexpr const wchar_t* windowClass = L"DIEX1";
constexpr const wchar_t* windowTitle = L"Glimmerfall V1.0";


// The one window of the program: Windows' procedure finds its host here.
Win32WindowHost* theHost = nullptr;

// A WGL entry point looked up at run time, or null.
template <typename Function>
Function wglFunction(const char* name)
{
    // Through the generic function type, which converts to any other without
    // a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(wglGetProcAddress(name)));
}

}  // namespace

std::uint64_t gameKeyOf(WPARAM virtualKey, LPARAM keyData)
{
    const unsigned scanCode = static_cast<unsigned>(keyData >> 16) & 0xFFu;
    const bool extended = ((keyData >> 24) & 1) != 0;
    if (scanCode == 0) {
        return virtualKey;
    }
    // The letters by rows of the keyboard, as scan codes number them.
    constexpr struct {
        unsigned first;
        const char* keys;
    } rows[] = {{0x10, "QWERTYUIOP"}, {0x1E, "ASDFGHJKL"}, {0x2C, "ZXCVBNM"}};
    for (const auto& row : rows) {
        const std::size_t length = std::strlen(row.keys);
        if (!extended && scanCode >= row.first && scanCode < row.first + length) {
            return static_cast<unsigned char>(row.keys[scanCode - row.first]);
        }
    }
    if (!extended && scanCode >= 0x02 && scanCode <= 0x0B) {
        return scanCode == 0x0B ? '0' : '1' + (scanCode - 0x02);
    }
    if (!extended && scanCode >= 0x3B && scanCode <= 0x44) {
        return VK_F1 + (scanCode - 0x3B);
    }
    if (extended) {
        switch (scanCode) {
            case 0x1D: return VK_CONTROL;  // the right Ctrl
            case 0x38: return VK_MENU;     // the right Alt
            case 0x48: return vkUp;
            case 0x50: return vkDown;
            case 0x4B: return vkLeft;
            case 0x4D: return vkRight;
            default: return 0;  // the keypad's Enter and /, the block above the arrows
        }
    }
    switch (scanCode) {
        case 0x01: return vkEscape;
        case 0x0C: return vkOemMinus;
        case 0x0D: return vkOemPlus;
        case 0x0E: return VK_BACK;
        case 0x0F: return VK_TAB;
        case 0x1C: return VK_RETURN;
        case 0x1D: return VK_CONTROL;
        case 0x2A:
        case 0x36: return VK_SHIFT;
        case 0x38: return VK_MENU;
        case 0x39: return vkSpace;
        case 0x4A: return vkSubtract;
        case 0x4E: return vkAdd;
        case 0x57: return VK_F11;
        case 0x58: return VK_F12;
        default: return 0;
    }
}

Win32WindowHost::Win32WindowHost(HINSTANCE instance, WindowMode mode, int windowedWidth, int windowedHeight)
    : instance_(instance), startMode_(mode), windowedWidth_(windowedWidth), windowedHeight_(windowedHeight),
      pacer_(sixtyHertz)
{
    // Sleeps of the frame pacer last what they ask for, not a 15.6 ms tick.
    timeBeginPeriod(1);
}

Win32WindowHost::~Win32WindowHost()
{
    closeWindow();
    if (theHost == this) {
        theHost = nullptr;
    }
    timeEndPeriod(1);
}

bool Win32WindowHost::start()
{
    InitCommonControls();
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode)) {
        return false;
    }
    desktopWidth_ = static_cast<int>(mode.dmPelsWidth);
    desktopHeight_ = static_cast<int>(mode.dmPelsHeight);
    return true;
}

int Win32WindowHost::clientWidth() const
{
    RECT r{};
    return window_ != nullptr && GetClientRect(window_, &r) ? static_cast<int>(r.right - r.left) : desktopWidth_;
}

int Win32WindowHost::clientHeight() const
{
    RECT r{};
    return window_ != nullptr && GetClientRect(window_, &r) ? static_cast<int>(r.bottom - r.top) : desktopHeight_;
}

bool Win32WindowHost::openWindow()
{
    WNDCLASSEXW c{};
    c.cbSize = sizeof c;
    c.style = CS_IME;
    c.lpfnWndProc = windowProcedure;
    c.hInstance = instance_;
    c.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(GLIMMERFALL_ICON));
    c.hIconSm = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(GLIMMERFALL_ICON), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    c.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
    c.lpszClassName = windowClass;
    if (RegisterClassExW(&c) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }
    // A bordered window of the desktop's size at its corner, maximised when
    // shown; with a close button and a minimise box, as on other desktops.
    DWORD style = WS_MAXIMIZE | WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT place{0, 0, desktopWidth_, desktopHeight_};
    if (startMode_ == WindowMode::windowed) {
        // An ordinary window: its client area as asked or two thirds of the
        // work area, the whole window held within that area (a size kept
        // from a larger screen still fits this one) and centred in it.
        style = WS_OVERLAPPEDWINDOW;
        RECT area{0, 0, desktopWidth_, desktopHeight_};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        const LONG areaWidth = area.right - area.left;
        const LONG areaHeight = area.bottom - area.top;
        RECT frame{0, 0, windowedWidth_ > 0 ? windowedWidth_ : areaWidth * 2 / 3,
                   windowedHeight_ > 0 ? windowedHeight_ : areaHeight * 2 / 3};
        AdjustWindowRectEx(&frame, style, FALSE, 0);
        const LONG width = std::min(frame.right - frame.left, areaWidth);
        const LONG height = std::min(frame.bottom - frame.top, areaHeight);
        place.left = area.left + (areaWidth - width) / 2;
        place.top = area.top + (areaHeight - height) / 2;
        place.right = place.left + width;
        place.bottom = place.top + height;
    }
    theHost = this;
    creating_ = true;
    window_ = CreateWindowExW(0, windowClass, windowTitle, style, place.left, place.top, place.right - place.left,
                              place.bottom - place.top, nullptr, nullptr, instance_, nullptr);
    creating_ = false;
    if (window_ == nullptr) {
        return false;
    }
    // The shell sends the first size itself, after creation.
    sizePending_ = false;
    setDirectSoundWindow(window_);
    setJoystickWindow(window_);
    return true;
}

void Win32WindowHost::closeWindow()
{
    if (window_ != nullptr) {
        const HWND closing = window_;
        window_ = nullptr;  // its last messages go to Windows' default handling
        DestroyWindow(closing);
    }
}

void Win32WindowHost::revealWindow()
{
    switch (startMode_) {
        case WindowMode::maximised:
            ShowWindow(window_, SW_SHOWMAXIMIZED);
            break;
        case WindowMode::windowed:
            ShowWindow(window_, SW_SHOWNORMAL);
            break;
        case WindowMode::fullscreen:
            enterFullscreen();
            ShowWindow(window_, SW_SHOW);
            break;
    }
}

void Win32WindowHost::createRenderContext()
{
    // Results are ignored, as the game ignores them: without a context the
    // frames simply show nothing.
    deviceContext_ = GetDC(window_);
    PIXELFORMATDESCRIPTOR format{};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER | PFD_GENERIC_ACCELERATED;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    format.cDepthBits = 32;
    format.iLayerType = PFD_MAIN_PLANE;
    const int chosen = ChoosePixelFormat(deviceContext_, &format);
    SetPixelFormat(deviceContext_, chosen, &format);
    renderContext_ = wglCreateContext(deviceContext_);
    wglMakeCurrent(deviceContext_, renderContext_);

    // Swaps wait for the display where the driver offers it; the pacer
    // holds frames to 60 a second either way.
    using SwapInterval = BOOL(WINAPI*)(int);
    const auto swapInterval = wglFunction<SwapInterval>("wglSwapIntervalEXT");
    if (renderContext_ != nullptr && swapInterval != nullptr) {
        swapInterval(1);
    }
}

void Win32WindowHost::releaseRenderContext()
{
    // The context itself lives until the process ends.
    wglMakeCurrent(nullptr, nullptr);
    if (deviceContext_ != nullptr) {
        ReleaseDC(window_, deviceContext_);
        deviceContext_ = nullptr;
    }
}

void Win32WindowHost::presentFrame()
{
    if (deviceContext_ != nullptr) {
        SwapBuffers(deviceContext_);
    }
    // Where the swap waits for the display this rarely sleeps; elsewhere it
    // holds the game to the 60 frames a second its clock was made for.
    pacer_.wait();
}

void Win32WindowHost::showErrorBox(const char* text, const char* caption)
{
    std::fprintf(stderr, "%s\n", text);
    std::fflush(stderr);
    MessageBoxW(window_, wideFromUtf8(text).c_str(), wideFromUtf8(caption).c_str(), MB_ICONERROR);
}

void Win32WindowHost::pumpEvents(bool wait)
{
    if (wait) {
        WaitMessage();
    }
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    if (sizePending_) {
        sizePending_ = false;
        rememberWindow();
        sendMessage(wmSize);
    }
}

void Win32WindowHost::rememberWindow()
{
    if (window_ == nullptr) {
        return;
    }
    std::optional<WindowSize> ordinary;
    RECT client{};
    if (!fullscreen_ && !IsZoomed(window_) && !IsIconic(window_) && GetClientRect(window_, &client)) {
        ordinary = WindowSize{static_cast<int>(client.right - client.left), static_cast<int>(client.bottom - client.top)};
    }
    settings().keepWindow(fullscreen_, ordinary);
}

void Win32WindowHost::enterFullscreen()
{
    windowedStyle_ = GetWindowLongPtrW(window_, GWL_STYLE);
    windowedPlacement_.length = sizeof windowedPlacement_;
    GetWindowPlacement(window_, &windowedPlacement_);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor);
    const LONG_PTR frame = WS_OVERLAPPEDWINDOW | WS_BORDER | WS_MAXIMIZE;
    SetWindowLongPtrW(window_, GWL_STYLE, (windowedStyle_ & ~frame) | WS_POPUP);
    const RECT& r = monitor.rcMonitor;
    SetWindowPos(window_, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
    fullscreen_ = true;
}

void Win32WindowHost::toggleFullscreen()
{
    if (!fullscreen_) {
        enterFullscreen();
        return;
    }
    SetWindowLongPtrW(window_, GWL_STYLE, windowedStyle_);
    SetWindowPlacement(window_, &windowedPlacement_);
    SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
    fullscreen_ = false;
}

LRESULT CALLBACK Win32WindowHost::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (theHost != nullptr && theHost->creating_ && theHost->window_ == nullptr) {
        theHost->window_ = window;  // messages sent while CreateWindowExW runs
    }
    if (theHost == nullptr || theHost->window_ != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return theHost->handle(message, wParam, lParam);
}

LRESULT Win32WindowHost::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_KEYDOWN:
            if (wParam == VK_F11 && (lParam & keyRepeatFlag) == 0) {
                toggleFullscreen();
            }
            break;
        case WM_SYSKEYDOWN:
            if (wParam == VK_RETURN && (lParam & keyAltFlag) != 0 && (lParam & keyRepeatFlag) == 0) {
                toggleFullscreen();
            }
            // System keys go to the game's window procedure, which closes on
            // Alt+F4 and passes the rest by. Windows' own handling would open
            // the system menu on Alt or F10 and hold the game in its loop.
            [[fallthrough]];
        case WM_SYSKEYUP:
            if (const std::uint64_t key = gameKeyOf(wParam, lParam); key != 0) {
                postMessage(Message{message == WM_SYSKEYUP ? wmSysKeyUp : wmSysKeyDown, key, lParam});
            }
            return 0;
        case WM_SYSCHAR:
            return 0;  // no menu to pick from: no beep
        case WM_CLOSE:
            // The game's procedure decides; it destroys the window.
            postMessage(Message{wmClose, 0, 0});
            return 0;
        case WM_SIZE:
            if (wParam == SIZE_MINIMIZED) {
                setMinimised(true);
            } else {
                if (minimised()) {
                    setMinimised(false);
                }
                sizePending_ = true;
            }
            return 0;
        case WM_ACTIVATE:
            setFocused(LOWORD(wParam) != WA_INACTIVE);
            return 0;
        case WM_PAINT:
            // The shell paints continually on its own; Windows' paint request
            // is answered so that its queue empties.
            ValidateRect(window_, nullptr);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // every frame covers the whole window
        case WM_DEVICECHANGE:
            noteJoystickDevicesChanged();
            return TRUE;
        default:
            break;
    }
    if (message == WM_KEYDOWN || message == WM_KEYUP) {
        if (const std::uint64_t key = gameKeyOf(wParam, lParam); key != 0) {
            postMessage(Message{message, key, lParam});
        }
        return 0;
    }
    if (isInputMessage(message)) {
        postMessage(Message{message, wParam, lParam});
        return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}
