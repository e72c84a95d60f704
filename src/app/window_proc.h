#pragma once

#include <cstdint>

#include "app/host.h"

// The start-up error shown when the sound device or its format fails.
inline constexpr const char* audioErrorText = "Error initializing DirectSound.  Sample will now exit.";
inline constexpr const char* audioErrorCaption = "DirectSound Sample";

// The game window's procedure: creation (the sound starts, then the game, the
// GL context and the game's rendering set-up), destruction, size (the
// rendering set-up again), activation (the
// sound is heard only while the window is active), the sound-output timer,
// paint (one frame of the game) and the input messages, which go to the game.
// The window must have been created with a game (Host::createWindow).
std::int64_t windowProc(Host& host, std::uint32_t message, std::uint64_t wParam, std::int64_t lParam);

// What the window does with messages the game leaves alone: a close request
// destroys the window, Alt+F4 is a close request, everything else gives 0.
std::int64_t defWindowProc(Host& host, std::uint32_t message, std::uint64_t wParam, std::int64_t lParam);
