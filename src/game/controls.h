#pragma once

#include <cstdint>

#include "app/messages.h"
#include "input/joystick.h"

// The player's keys and mouse as the window's messages leave them; they stay
// set while a key is held. The game holds one for the whole run; window
// creation puts it back to its start values (resetControls).
struct Controls {
    float keyForward = 0.0f;    // +1000 W, −1000 S (the last pressed wins), else 0
    float keyTurn = 0.0f;       // +500 A, −500 D, else 0
    float keyButton = 0.0f;     // 1000 while Space is held
    int leftButtonDown = 0;     // 1 after a left press, 0 after its release
    int cursorDisplayCount = 0; // raised by one on each left release after a press
    // Presses of the comfort keys not yet taken by a frame: P or Esc
    // (pause), − or the keypad's − (quieter), = or + or the keypad's +
    // (louder), M (music on and off), and Space, which also resumes. A press
    // sets its flag (twice is once: the loop hands every message over twice)
    // and the next frame takes it (game/comfort.h), however soon the key is
    // let go of.
    bool pausePressed = false;
    bool quieterPressed = false;
    bool louderPressed = false;
    bool musicPressed = false;
    bool spacePressed = false;
};

// The controller's Start button (button 7 of the usual pads), which pauses.
inline constexpr int startButton = 7;

// Sets keyForward, keyTurn, keyButton and leftButtonDown to 0 and forgets
// presses not yet taken (window creation).
void resetControls(Controls& controls);

// Handles a key or mouse message (see app/messages.h). Running it twice in a
// row with the same message gives the same result. Without a usable
// controller, releasing Space also lets go of the button it pressed.
void handleInputMessage(Controls& controls, Controller& controller, std::uint32_t message,
                        std::uint64_t wParam, std::int64_t lParam);

// The controls own every write to the controller record besides the poll. A
// frame uses them in this order:

// While Space is held, the primary button byte reads 0xE8 (the emulated
// button), whatever the controller says.
void pressEmulatedButton(const Controls& controls, Controller& controller);

// The steering axis: dead zone 200, moved 200 toward zero, minus keyTurn. So
// a held steering key moves the axis further on every frame.
void conditionControls(const Controls& controls, Controller& controller);

// The buttons and the axis as the frame reads them: a non-zero button byte
// counts as pressed.
bool primaryPressed(const Controller& controller);
bool secondaryPressed(const Controller& controller);
std::uint8_t primaryButton(const Controller& controller);
std::int32_t steeringAxis(const Controller& controller);

// After every frame: the steering axis held to −1000 … +1000.
void clampSteering(Controller& controller);

// After a frame of play: without a usable controller nothing else clears the
// buttons that Space set, so they are cleared here; then clampSteering.
void fixUpControls(Controller& controller);
