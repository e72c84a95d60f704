#pragma once

#include <cstdint>

#include "app/messages.h"

// Control values set by the keyboard and mouse handlers; they stay set while
// a key is held.
extern float keyForward;    // +1000 W, −1000 S (the last pressed wins), else 0
extern float keyTurn;       // +500 A, −500 D, else 0
extern float keyButton;     // 1000 while Space is held
extern int leftButtonDown;  // 1 after a left press, 0 after its release
extern int cursorDisplayCount;  // raised by one on each left release after a press

// Sets keyForward, keyTurn, keyButton and leftButtonDown to 0 (window creation).
void resetControls();

// Handles a key or mouse message (see app/messages.h). Running it twice in a
// row with the same message gives the same result.
void handleInputMessage(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam);

// The controls own every write to the controller record (joystickState)
// besides the poll. A frame uses them in this order:

// While Space is held, the primary button byte reads 0xE8 (the emulated
// button), whatever the controller says.
void pressEmulatedButton();

// The steering axis: dead zone 200, moved 200 toward zero, minus keyTurn. So
// a held steering key moves the axis further on every frame.
void conditionControls();

// The buttons and the axis as the frame reads them: a non-zero button byte
// counts as pressed.
bool primaryPressed();
bool secondaryPressed();
std::uint8_t primaryButton();
std::int32_t steeringAxis();

// After every frame: the steering axis held to −1000 … +1000.
void clampSteering();

// After a frame of play: without a usable controller nothing else clears the
// buttons that Space set, so they are cleared here; then clampSteering.
void fixUpControls();
