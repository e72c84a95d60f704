#pragma once

#include <windows.h>

#include "app/frame_pacer.h"
#include "app/host.h"
#include "app/window_mode.h"

// The game's virtual-key code for a key message's key, by the key's place on
// the keyboard (the scan code in lParam) as on a US layout, so W, A, S and D
// sit where players expect on any layout; the same codes as the SDL host's.
// 0 for keys the game has no code for (the message is then not the game's).
// A message without a scan code (made by a program) keeps its own code.
std::uint64_t gameKeyOf(WPARAM virtualKey, LPARAM keyData);

// The game's window on Windows: the class "DIEX1" with the game's icon, a
// maximised window titled "Glimmerfall V1.0" of the desktop's size (or an
// ordinary one, centred in the work area: of the size asked for, else two
// thirds of the work area), a
// double-buffered RGBA pixel format with a depth buffer and a WGL context.
// Windows' messages for the window feed the shared queue (mouse messages as
// Windows made them, keys named by their place on the keyboard as the SDL
// host names them, close, size, activation); the shell's loop takes them
// from there and paints continually, as on every host. The window's
// fullscreen state and an ordinary window's size go into the player's
// settings as they change.
// F11 and Alt+Enter switch to a borderless window covering the monitor and
// back. Frames wait for the display where the driver offers
// WGL_EXT_swap_control, and never come faster than 60 a second.
class Win32WindowHost final : public Host {
public:
    // An ordinary window's client area starts at the given size when one is
    // given (a size the player left it at), else at two thirds of the work
    // area; either held within the work area.
    Win32WindowHost(HINSTANCE instance, WindowMode mode = WindowMode::maximised, int windowedWidth = 0,
                    int windowedHeight = 0);
    ~Win32WindowHost() override;

    // Initialises the common controls and reads the desktop's size.
    bool start();

    // The desktop's size in pixels, read by start().
    int desktopWidth() const { return desktopWidth_; }
    int desktopHeight() const { return desktopHeight_; }
    // The window's client area, the picture (the desktop's before there is a
    // window).
    int clientWidth() const override;
    int clientHeight() const override;
    void createRenderContext() override;
    void releaseRenderContext() override;
    void presentFrame() override;
    void showErrorBox(const char* text, const char* caption) override;

    HWND window() const { return window_; }
    bool fullscreen() const { return fullscreen_; }

protected:
    bool openWindow() override;
    void closeWindow() override;
    void revealWindow() override;
    void pumpEvents(bool wait) override;

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void toggleFullscreen();
    void enterFullscreen();
    // Keeps the fullscreen state and, for an ordinary window, its client
    // size in the player's settings.
    void rememberWindow();

    HINSTANCE instance_;
    WindowMode startMode_;
    int windowedWidth_ = 0;  // an ordinary window's client size, when one was asked for
    int windowedHeight_ = 0;
    HWND window_ = nullptr;
    HDC deviceContext_ = nullptr;
    HGLRC renderContext_ = nullptr;
    int desktopWidth_ = 0;
    int desktopHeight_ = 0;
    bool creating_ = false;  // inside CreateWindowExW
    bool sizePending_ = false;
    bool fullscreen_ = false;
    LONG_PTR windowedStyle_ = 0;
    WINDOWPLACEMENT windowedPlacement_{};
    FramePacer pacer_;
};
