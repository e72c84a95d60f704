#pragma once

#include "app/frame_driver.h"
#include "math/matrix4.h"
#include "math/vector4.h"
#include "world/pickup.h"

// The autopilot plays with the keyboard alone: it only decides which of
// W, A, D and Space are held for the next frame. The caller turns changes
// between two decisions into key-down and key-up messages.
//
//   AutopilotKeys held;                       // nothing held at start
//   each frame: held = autopilotKeys(autopilotViewOfGame());
//
// On a screen it holds Space, letting it go whenever the screen last saw it
// held, so that every press is a fresh one. In play it steers toward the
// nearest uncollected pickup with A or D (none while it lies within 4° of the
// nose) and holds W while that pickup is within 25° of the nose, coasting
// through wider turns.
// Only the keyboard is used: no pad, no mouse, nothing written to the game.

struct AutopilotKeys {
    bool w = false;
    bool a = false;
    bool d = false;
    bool space = false;

    bool operator==(const AutopilotKeys&) const = default;
};

// What the autopilot looks at; a test can fill one by hand.
struct AutopilotView {
    GameState gameState = Title;
    int levelNumber = 0;
    int lastButton = 0;  // the primary button as the last screen frame saw it
    Vector4 shipPosition;
    Matrix4 shipOrientation;  // row0 the ship's side axis, −row2 its nose
    const Pickup* pickups = nullptr;
    int pickupCount = 0;
};

// The view of the running game, read from its globals.
AutopilotView autopilotViewOfGame();

// True when the next frame draws a screen rather than a frame of play.
bool autopilotSeesScreen(GameState state, int levelNumber);

// The keys to hold for the next frame. Pure.
AutopilotKeys autopilotKeys(const AutopilotView& view);
