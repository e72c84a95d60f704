#include "app/sdl_window_host.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>

namespace {

constexpr const char* windowTitle = "Glimmerfall V1.0";

constexpr std::uint64_t vkBack = 0x08;
constexpr std::uint64_t vkTab = 0x09;
constexpr std::uint64_t vkReturn = 0x0D;
constexpr std::uint64_t vkShift = 0x10;
constexpr std::uint64_t vkControl = 0x11;
constexpr std::uint64_t vkMenu = 0x12;
constexpr std::uint64_t vkF1 = 0x70;

constexpr std::uint64_t mkLButton = 0x01;
constexpr std::uint64_t mkRButton = 0x02;
constexpr std::uint64_t mkMButton = 0x10;

// The virtual-key code of a key by its position on the keyboard, so W, A, S
// and D sit where players expect on any layout; 0 for keys the game has no
// code for.
std::uint64_t virtualKey(SDL_Scancode s)
{
    if (s >= SDL_SCANCODE_A && s <= SDL_SCANCODE_Z) {
        return 'A' + (s - SDL_SCANCODE_A);
    }
    if (s >= SDL_SCANCODE_1 && s <= SDL_SCANCODE_9) {
        return '1' + (s - SDL_SCANCODE_1);
    }
    if (s >= SDL_SCANCODE_F1 && s <= SDL_SCANCODE_F12) {
        return vkF1 + (s - SDL_SCANCODE_F1);
    }
    switch (s) {
        case SDL_SCANCODE_0: return '0';
        case SDL_SCANCODE_MINUS: return vkOemMinus;
        case SDL_SCANCODE_EQUALS: return vkOemPlus;
        case SDL_SCANCODE_KP_MINUS: return vkSubtract;
        case SDL_SCANCODE_KP_PLUS: return vkAdd;
        case SDL_SCANCODE_SPACE: return vkSpace;
        case SDL_SCANCODE_ESCAPE: return vkEscape;
        case SDL_SCANCODE_RETURN: return vkReturn;
        case SDL_SCANCODE_BACKSPACE: return vkBack;
        case SDL_SCANCODE_TAB: return vkTab;
        case SDL_SCANCODE_LEFT: return vkLeft;
        case SDL_SCANCODE_RIGHT: return vkRight;
        case SDL_SCANCODE_UP: return vkUp;
        case SDL_SCANCODE_DOWN: return vkDown;
        case SDL_SCANCODE_LSHIFT:
        case SDL_SCANCODE_RSHIFT: return vkShift;
        case SDL_SCANCODE_LCTRL:
        case SDL_SCANCODE_RCTRL: return vkControl;
        case SDL_SCANCODE_LALT:
        case SDL_SCANCODE_RALT: return vkMenu;
        default: return 0;
    }
}

std::int64_t pointParam(int x, int y)
{
    return static_cast<std::int64_t>((static_cast<std::uint32_t>(x) & 0xFFFFu) |
                                     ((static_cast<std::uint32_t>(y) & 0xFFFFu) << 16));
}

std::uint64_t mouseButtons(std::uint32_t state)
{
    std::uint64_t w = 0;
    w |= (state & SDL_BUTTON_LMASK) ? mkLButton : 0;
    w |= (state & SDL_BUTTON_RMASK) ? mkRButton : 0;
    w |= (state & SDL_BUTTON_MMASK) ? mkMButton : 0;
    return w;
}

}  // namespace

SdlWindowHost::~SdlWindowHost()
{
    if (window_ != nullptr) {
        SDL_DestroyWindow(window_);
    }
    SDL_Quit();
}

bool SdlWindowHost::start()
{
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "Glimmerfall needs a display: %s\n", SDL_GetError());
        return false;
    }
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) {
        std::fprintf(stderr, "Glimmerfall cannot read the desktop size: %s\n", SDL_GetError());
        return false;
    }
    desktopWidth_ = mode.w;
    desktopHeight_ = mode.h;
    return true;
}

bool SdlWindowHost::openWindow()
{
    // RGBA with 24 colour bits, double-buffered; a 32-bit depth buffer if the
    // display has one, else 24 bits.
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    std::uint32_t flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE;
    // Maximised and fullscreen windows start as large as the desktop; an
    // ordinary one is as asked, or two thirds of the work area, centred.
    int x = 0;
    int y = 0;
    int width = desktopWidth_;
    int height = desktopHeight_;
    if (startMode_ == WindowMode::maximised) {
        flags |= SDL_WINDOW_MAXIMIZED;
    } else if (startMode_ == WindowMode::fullscreen) {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    } else {
        const SDL_Rect fit = ordinaryWindow();
        x = fit.x;
        y = fit.y;
        width = fit.w;
        height = fit.h;
    }
    for (int depth : {32, 24}) {
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depth);
        window_ = SDL_CreateWindow(windowTitle, x, y, width, height, flags);
        if (window_ != nullptr) {
            return true;
        }
    }
    std::fprintf(stderr, "Glimmerfall cannot create its window: %s\n", SDL_GetError());
    return false;
}

SDL_Rect SdlWindowHost::ordinaryWindow() const
{
    SDL_Rect area{0, 0, desktopWidth_, desktopHeight_};
    if (SDL_GetDisplayUsableBounds(0, &area) != 0 || area.w <= 0 || area.h <= 0) {
        area = SDL_Rect{0, 0, desktopWidth_, desktopHeight_};
    }
    int width = windowedWidth_ > 0 ? windowedWidth_ : area.w * 2 / 3;
    int height = windowedHeight_ > 0 ? windowedHeight_ : area.h * 2 / 3;
    // A size remembered from a larger screen still has to fit this one.
    width = std::clamp(width, 1, area.w);
    height = std::clamp(height, 1, area.h);
    return SDL_Rect{area.x + (area.w - width) / 2, area.y + (area.h - height) / 2, width, height};
}

void SdlWindowHost::rememberWindow()
{
    if (window_ == nullptr) {
        return;
    }
    const std::uint32_t flags = SDL_GetWindowFlags(window_);
    const bool fullscreen = (flags & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    std::optional<WindowSize> ordinary;
    if (!fullscreen && (flags & (SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED)) == 0) {
        WindowSize size{};
        SDL_GetWindowSize(window_, &size.width, &size.height);
        ordinary = size;
    }
    settings().keepWindow(fullscreen, ordinary);
}

WindowSize SdlWindowHost::drawableSize() const
{
    WindowSize size{desktopWidth_, desktopHeight_};
    if (window_ != nullptr) {
        SDL_GL_GetDrawableSize(window_, &size.width, &size.height);
    }
    return size;
}

int SdlWindowHost::clientWidth() const
{
    return drawableSize().width;
}

int SdlWindowHost::clientHeight() const
{
    return drawableSize().height;
}

void SdlWindowHost::closeWindow()
{
    if (window_ != nullptr) {
        SDL_DestroyWindow(window_);
        window_ = nullptr;
    }
}

void SdlWindowHost::revealWindow()
{
    SDL_ShowWindow(window_);
    if (startMode_ == WindowMode::maximised) {
        SDL_MaximizeWindow(window_);
    }
}

void SdlWindowHost::createRenderContext()
{
    // Failures leave no context: drawing then has no visible effect.
    context_ = SDL_GL_CreateContext(window_);
    if (context_ == nullptr) {
        return;
    }
    SDL_GL_MakeCurrent(window_, context_);
    SDL_GL_SetSwapInterval(1);  // many drivers (and Xvfb) do not wait; the pacer does
}

void SdlWindowHost::releaseRenderContext()
{
    // The context itself lives until the process ends.
    SDL_GL_MakeCurrent(window_, nullptr);
}

void SdlWindowHost::presentFrame()
{
    SDL_GL_SwapWindow(window_);
    pacer_.wait();
}

void SdlWindowHost::showErrorBox(const char* text, const char* caption)
{
    std::fprintf(stderr, "%s\n", text);
    std::fflush(stderr);
    // Without a display the box fails at once; it never blocks there.
    const char* display = SDL_getenv("DISPLAY");
    const char* wayland = SDL_getenv("WAYLAND_DISPLAY");
    if ((display == nullptr || *display == '\0') && (wayland == nullptr || *wayland == '\0')) {
        return;
    }
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, window_);
}

void SdlWindowHost::pumpEvents(bool wait)
{
    SDL_Event e;
    if (wait && SDL_WaitEvent(&e) != 0) {
        translate(e);
    }
    while (SDL_PollEvent(&e) != 0) {
        translate(e);
    }
    if (sizePending_) {
        sizePending_ = false;
        rememberWindow();
        sendMessage(wmSize);
    }
    if (soundCheck_.due(monotonicNanoseconds())) {
        sendMessage(wmTimer, soundOutputTimer);
    }
}

namespace {

// F11, or Enter with Alt held, switches between desktop fullscreen and the
// window. The size change reaches the game as any other wmSize; the keys
// themselves still go to the game, which ignores them.
bool isFullscreenToggle(const SDL_KeyboardEvent& key)
{
    if (key.type != SDL_KEYDOWN || key.repeat != 0) {
        return false;
    }
    const SDL_Scancode s = key.keysym.scancode;
    return s == SDL_SCANCODE_F11 ||
           ((s == SDL_SCANCODE_RETURN || s == SDL_SCANCODE_KP_ENTER) && (key.keysym.mod & KMOD_ALT) != 0);
}

}  // namespace

void SdlWindowHost::toggleFullscreen()
{
    const bool fullscreen = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    SDL_SetWindowFullscreen(window_, fullscreen ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    if (fullscreen && (SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED) == 0) {
        // Out of fullscreen into an ordinary window that fits the work area
        // (a window started fullscreen had the desktop's whole size).
        int width = 0;
        int height = 0;
        SDL_GetWindowSize(window_, &width, &height);
        const SDL_Rect fit = ordinaryWindow();
        if (width > fit.w || height > fit.h) {
            SDL_SetWindowSize(window_, fit.w, fit.h);
            SDL_SetWindowPosition(window_, fit.x, fit.y);
        }
    }
}

void SdlWindowHost::translate(const SDL_Event& e)
{
    switch (e.type) {
        case SDL_QUIT:
            postMessage(Message{wmClose, 0, 0});
            break;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
                case SDL_WINDOWEVENT_CLOSE:
                    postMessage(Message{wmClose, 0, 0});
                    break;
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    sizePending_ = true;
                    break;
                case SDL_WINDOWEVENT_MINIMIZED:
                    setMinimised(true);
                    break;
                case SDL_WINDOWEVENT_RESTORED:
                case SDL_WINDOWEVENT_MAXIMIZED:
                    if (minimised()) {
                        setMinimised(false);
                        sizePending_ = true;
                    }
                    break;
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    setFocused(true);
                    break;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    setFocused(false);
                    break;
                default:
                    break;
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            if (isFullscreenToggle(e.key) && window_ != nullptr) {
                toggleFullscreen();
            }
            const std::uint64_t key = virtualKey(e.key.keysym.scancode);
            if (key == 0) {
                break;
            }
            const bool down = e.type == SDL_KEYDOWN;
            const bool alt = (e.key.keysym.mod & KMOD_ALT) != 0 || key == vkMenu;
            std::int64_t l = 1 | (std::int64_t{e.key.keysym.scancode & 0xFF} << 16);
            if (alt) {
                l |= keyAltFlag;
            }
            if (!down) {
                l |= keyRepeatFlag | (std::int64_t{1} << 31);
            } else if (e.key.repeat != 0) {
                l |= keyRepeatFlag;
            }
            const std::uint32_t message =
                alt ? (down ? wmSysKeyDown : wmSysKeyUp) : (down ? wmKeyDown : wmKeyUp);
            postMessage(Message{message, key, l});
            break;
        }
        case SDL_MOUSEMOTION:
            postMessage(Message{wmMouseMove, mouseButtons(e.motion.state), pointParam(e.motion.x, e.motion.y)});
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const bool down = e.type == SDL_MOUSEBUTTONDOWN;
            std::uint32_t message = 0;
            switch (e.button.button) {
                case SDL_BUTTON_LEFT: message = down ? wmLButtonDown : wmLButtonUp; break;
                case SDL_BUTTON_RIGHT: message = down ? wmRButtonDown : wmRButtonUp; break;
                case SDL_BUTTON_MIDDLE: message = down ? wmMButtonDown : wmMButtonUp; break;
                default: break;
            }
            if (message != 0) {
                postMessage(Message{message, mouseButtons(SDL_GetMouseState(nullptr, nullptr)),
                                    pointParam(e.button.x, e.button.y)});
            }
            break;
        }
        case SDL_MOUSEWHEEL: {
            const auto delta = static_cast<std::uint64_t>(static_cast<std::uint16_t>(e.wheel.y * 120));
            int x = 0;
            int y = 0;
            SDL_GetMouseState(&x, &y);
            postMessage(Message{wmMouseWheel, delta << 16, pointParam(x, y)});
            break;
        }
        default:
            break;
    }
}
