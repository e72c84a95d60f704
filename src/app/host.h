#pragma once

#include <cstdint>
#include <utility>

#include "app/messages.h"
#include "app/player_settings.h"

class Game;
class Host;

// The window procedure of the game's one window: the game's handlers for every
// message. Returns the message's result.
using WindowProcedure = std::int64_t (*)(Host& host, std::uint32_t message, std::uint64_t wParam,
                                         std::int64_t lParam);

// What the game needs from the platform: one window with a GL context, a
// message queue, a frame presenter and an error box. The SDL window and the
// scripted runner each implement the platform side; the queue, the
// "always invalid" paint rule and the window's life cycle are shared here, so
// the game cannot tell which host it runs in.
class Host {
public:
    Host() = default;
    virtual ~Host() = default;
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // ---- platform side -------------------------------------------------

    // The size of the window's client area, the picture, in pixels: the
    // desktop's in fullscreen.
    virtual int clientWidth() const = 0;
    virtual int clientHeight() const = 0;

    // Chooses the pixel format, creates the GL context and makes it current.
    // Failures are ignored, as the game ignores them: drawing then shows nothing.
    virtual void createRenderContext() = 0;
    // Releases the window's drawing surface and leaves no context current.
    virtual void releaseRenderContext() = 0;
    // Shows the finished frame (the buffer swap) and paces the frame rate.
    virtual void presentFrame() = 0;
    // A modal error box with the given text and caption; the text also goes to
    // stderr. Returns when the box is closed (at once when it cannot be shown).
    virtual void showErrorBox(const char* text, const char* caption) = 0;

    // ---- the window and its queue ---------------------------------------

    // Registers the window procedure, creates the window (hidden) and sends it
    // wmCreate and then wmSize. The game is the window's own data: the
    // procedure finds it through game(). False when creation failed or
    // wmCreate answered −1; the window is then gone.
    bool createWindow(WindowProcedure procedure, Game& game);
    // The game given at creation; null only before a window was created.
    Game* game() const { return game_; }
    // Makes the window visible.
    void showWindow();
    // Destroys the window: it gets wmDestroy and afterwards no more messages.
    void destroyWindow();
    bool windowExists() const { return procedure_ != nullptr && !destroyed_; }

    // The player's settings the window keeps: the defaults, never written,
    // until a host gives it some.
    PlayerSettings& settings() { return settings_; }
    void useSettings(PlayerSettings settings) { settings_ = std::move(settings); }

    // Puts a message at the end of the queue. When the queue is full, pointer
    // motion gives way to keys and buttons: a motion message then replaces
    // the newest queued one (or is dropped when there is none), and a key or
    // button message pushes out the oldest queued motion. False when the
    // message was dropped: only when the queue is full and holds no motion.
    bool postMessage(const Message& m);
    // Hands a message to the window procedure at once, as the window's own
    // messages (size, close) are delivered. 0 when there is no window.
    std::int64_t sendMessage(std::uint32_t message, std::uint64_t wParam = 0, std::int64_t lParam = 0);
    // Hands a taken message to the window procedure; nothing happens for
    // wmNull or when the window is gone.
    std::int64_t dispatchMessage(const Message& m);
    // Makes the next take return wmQuit once the queue is empty.
    void postQuitMessage(int exitCode);

    // Takes at most one message without waiting: queued messages first, then
    // wmQuit once posted, then wmPaint, since the window is always invalid.
    // While the window is minimised there is no paint: the host waits for the
    // platform's next event instead. False when nothing was taken.
    bool takeMessage(Message& out);

    // Called by the platform side when the window is minimised or restored.
    // Minimising posts wmNull so that the loop no longer holds a paint.
    void setMinimised(bool minimised);
    bool minimised() const { return minimised_; }
    // Called by the platform side when the window gains or loses the input
    // focus. The window is active while it has the focus and is not
    // minimised; every change of that is sent to it at once as wmActivate
    // (waActive or waInactive, the minimised state in the high word). A new
    // window counts as active; a host that never calls these stays so.
    void setFocused(bool focused);

protected:
    // Creates the platform window, hidden. False on failure.
    virtual bool openWindow() = 0;
    // Destroys the platform window (after wmDestroy was handled).
    virtual void closeWindow() = 0;
    // Makes the platform window visible.
    virtual void revealWindow() = 0;
    // Moves the platform's pending events into the queue (postMessage) or to
    // the window (sendMessage). With wait set, blocks until at least one
    // event has arrived.
    virtual void pumpEvents(bool wait) = 0;

private:
    static constexpr int queueCapacity = 256;

    // Position from the head of the oldest / newest queued wmMouseMove, or −1.
    int firstMotion() const;
    int lastMotion() const;
    // Sends wmActivate when focus and minimised state change whether the
    // window is active.
    void updateActivation();

    PlayerSettings settings_;
    WindowProcedure procedure_ = nullptr;
    Game* game_ = nullptr;
    bool destroyed_ = false;
    bool minimised_ = false;
    bool focused_ = true;
    bool active_ = true;  // as last told to the window
    bool quitPosted_ = false;
    int quitCode_ = 0;
    Message queue_[queueCapacity];
    int queueHead_ = 0;
    int queueCount_ = 0;
};
