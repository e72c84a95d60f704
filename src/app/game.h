#pragma once

#include <cstdint>

// What the shell asks of the game. The shell (window procedure, message loop,
// the hosts) owns the window, the GL context and the sound output; it knows
// the game only through this interface, and loads none of the game's files.
// The hosts hand it the real game (game/glimmerfall_game.h), tests a fake one.
class Game {
public:
    Game() = default;
    virtual ~Game() = default;
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // The window is being created: the sound already plays, the GL context is
    // not made yet. The game starts afresh.
    virtual void created() = 0;
    // The rendering set-up: GL state, the game's textures, viewport and a
    // first projection, for a window whose client area has the given size.
    // Called once the GL context is made at window creation, and again on
    // every size change.
    virtual void setupRendering(int width, int height) = 0;
    // The window became the active one, or stopped being it (another window
    // took the focus, or it was minimised).
    virtual void activated(bool active) = 0;
    // One frame, on every paint, with the GL context current. The shell waits
    // for the drawing to finish and presents it afterwards.
    virtual void frame() = 0;
    // A key or mouse message (isInputMessage in app/messages.h).
    virtual void input(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam) = 0;
    // True when the game has nothing more to show (a replay played to its
    // end): the window then closes as on a close request.
    virtual bool finished() const { return false; }
};
