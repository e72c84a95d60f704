#pragma once

#include "app/frame_pacer.h"
#include "app/host.h"
#include "app/window_mode.h"
#include "app/interval_timer.h"

struct SDL_Window;
union SDL_Event;

// The game's window on a desktop, through SDL2: a maximised, bordered window
// of the desktop's size with a double-buffered RGBA OpenGL context, its events
// turned into the game's messages, and frames capped at 60 per second.
// F11 and Alt+Enter switch between desktop fullscreen and the window. Once a
// second it sends the window its sound-output timer (a headset unplugged is
// noticed and the output opened again).
class SdlWindowHost final : public Host {
public:
    explicit SdlWindowHost(WindowMode mode = WindowMode::maximised)
        : pacer_(sixtyHertz), soundCheck_(oneSecond), startMode_(mode)
    {
    }
    ~SdlWindowHost() override;

    // Starts SDL's video. False (with the reason on stderr) without a display.
    bool start();

    int desktopWidth() const override { return desktopWidth_; }
    int desktopHeight() const override { return desktopHeight_; }
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

    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    int desktopWidth_ = 0;
    int desktopHeight_ = 0;
    bool sizePending_ = false;
    FramePacer pacer_;
    IntervalTimer soundCheck_;  // asks after the sound output once a second
    WindowMode startMode_;
};
