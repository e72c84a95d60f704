#pragma once

#include <windows.h>

#include "app/frame_pacer.h"
#include "app/host.h"
#include "app/window_mode.h"

// The game's window on Windows: the class "DIEX1" with the game's icon, a
// maximised window titled "Glimmerfall V1.0" of the desktop's size (or an
// ordinary one of two thirds of the work area, centred in it), a
// double-buffered RGBA pixel format with a depth buffer and a WGL context.
// Windows' messages for the window feed the shared queue (keys and mouse
// messages as Windows made them, close, size, activation); the shell's loop
// takes them from there and paints continually, as on every host.
// F11 and Alt+Enter switch to a borderless window covering the monitor and
// back. Frames wait for the display where the driver offers
// WGL_EXT_swap_control, and never come faster than 60 a second.
class Win32WindowHost final : public Host {
public:
    Win32WindowHost(HINSTANCE instance, WindowMode mode = WindowMode::maximised);
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
    // Whether buffer swaps wait for the display (WGL_EXT_swap_control).
    bool swapWaitsForDisplay() const { return swapControl_; }

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

    HINSTANCE instance_;
    WindowMode startMode_;
    HWND window_ = nullptr;
    HDC deviceContext_ = nullptr;
    HGLRC renderContext_ = nullptr;
    int desktopWidth_ = 0;
    int desktopHeight_ = 0;
    bool creating_ = false;  // inside CreateWindowExW
    bool sizePending_ = false;
    bool fullscreen_ = false;
    bool swapControl_ = false;
    LONG_PTR windowedStyle_ = 0;
    WINDOWPLACEMENT windowedPlacement_{};
    FramePacer pacer_;
};
