#pragma once

#include "app/frame_pacer.h"
#include "app/host.h"
#include "app/window_mode.h"
#include "app/interval_timer.h"

struct SDL_Window;
struct SDL_Rect;
union SDL_Event;

// The game's window on a desktop, through SDL2: a maximised, bordered window
// of the desktop's size with a double-buffered RGBA OpenGL context, its events
// turned into the game's messages, and frames capped at 60 per second.
// F11 and Alt+Enter switch between desktop fullscreen and the window. Once a
// second it sends the window its sound-output timer (a headset unplugged is
// noticed and the output opened again).
class SdlWindowHost final : public Host {
public:
    // An ordinary window starts at the given size when one is given (a size
    // the player left it at), else at two thirds of the work area.
    explicit SdlWindowHost(WindowMode mode = WindowMode::maximised, int windowedWidth = 0, int windowedHeight = 0)
        : windowedWidth_(windowedWidth), windowedHeight_(windowedHeight), pacer_(sixtyHertz),
          soundCheck_(oneSecond), startMode_(mode)
    {
    }
    ~SdlWindowHost() override;

    // Starts SDL's video. False (with the reason on stderr) without a display.
    bool start();

    // The desktop's size in pixels, read by start().
    int desktopWidth() const { return desktopWidth_; }
    int desktopHeight() const { return desktopHeight_; }
    int clientWidth() const override;
    int clientHeight() const override;
    void createRenderContext() override;
    void releaseRenderContext() override;
    void presentFrame() override;
    void showErrorBox(const char* text, const char* caption) override;

protected:
    bool openWindow() override;
    void closeWindow() override;
    void revealWindow() override;
    void pumpEvents(bool wait) override;

private:
    void translate(const SDL_Event& e);
    void toggleFullscreen();
    // Where an ordinary window goes: the size asked for, or two thirds of the
    // desktop's work area, held within that area and centred in it.
    SDL_Rect ordinaryWindow() const;
    // Keeps the window's fullscreen state and, for an ordinary window, its
    // size in the player's settings.
    void rememberWindow();
    // The picture's size: the drawable's, the desktop's before a window.
    WindowSize drawableSize() const;

    int windowedWidth_ = 0;  // an ordinary window's size, when one was asked for
    int windowedHeight_ = 0;
    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    int desktopWidth_ = 0;
    int desktopHeight_ = 0;
    bool sizePending_ = false;
    FramePacer pacer_;
    IntervalTimer soundCheck_;  // asks after the sound output once a second
    WindowMode startMode_;
};
