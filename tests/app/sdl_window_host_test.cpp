// The desktop window host on SDL's offscreen video driver: F11 and Alt+Enter
// switch desktop fullscreen on and off, and each size change reaches the
// window procedure as wmSize, as any other resize does.
#include "app/sdl_window_host.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "fake_game.h"

namespace {

int sizeMessages = 0;

std::int64_t countingProc(Host&, std::uint32_t message, std::uint64_t, std::int64_t)
{
    sizeMessages += message == wmSize ? 1 : 0;
    return 0;
}

void pressKey(SDL_Scancode key, Uint16 mod, Uint8 repeat = 0)
{
    for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
        SDL_Event e{};
        e.type = type;
        e.key.type = type;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.scancode = key;
        e.key.keysym.sym = SDL_GetKeyFromScancode(key);
        e.key.keysym.mod = mod;
        e.key.repeat = repeat;
        SDL_PushEvent(&e);
    }
}

// Lets the host move SDL's events into messages and hands them all out.
void pump(Host& host)
{
    Message m;
    for (int i = 0; i < 8 && host.takeMessage(m); ++i) {
        host.dispatchMessage(m);
    }
}

TEST(SdlWindowHost, F11AndAltEnterSwitchDesktopFullscreenAndTheGameSeesTheResize)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    SdlWindowHost host(WindowMode::windowed);
    ASSERT_TRUE(host.start());
    FakeGame game;  // the window's game; the counting procedure never reaches it
    ASSERT_TRUE(host.createWindow(countingProc, game));
    host.showWindow();
    SDL_Window* window = SDL_GetWindowFromID(1);  // the host's one window
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SDL_GetWindowFlags(window) & (SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_MAXIMIZED), 0u);

    SDL_SetWindowSize(window, 320, 240);
    pump(host);
    const int before = sizeMessages;
    EXPECT_GE(before, 2);  // creation and this resize

    pressKey(SDL_SCANCODE_F11, KMOD_NONE);
    pump(host);
    EXPECT_NE(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(window, &w, &h);
    EXPECT_EQ(w, host.desktopWidth());
    EXPECT_EQ(h, host.desktopHeight());
    EXPECT_EQ(sizeMessages, before + 1);

    // Alt+Enter back to the window (the offscreen driver keeps the size it
    // had; a desktop's window manager restores the old one).
    pressKey(SDL_SCANCODE_RETURN, KMOD_LALT);
    pump(host);
    EXPECT_EQ(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    EXPECT_EQ(sizeMessages, before + 2);

    // Enter alone, or a held F11's repeats, toggle nothing.
    pressKey(SDL_SCANCODE_RETURN, KMOD_NONE);
    pressKey(SDL_SCANCODE_F11, KMOD_NONE, 1);
    pump(host);
    EXPECT_EQ(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    EXPECT_EQ(sizeMessages, before + 2);
    host.destroyWindow();
}

}  // namespace
