#include "game/controls.h"

#include <gtest/gtest.h>

#include "input/joystick.h"

namespace {

Controls controls;  // the keys as the messages leave them

void down(std::uint32_t key, std::int64_t lParam = 0) { handleInputMessage(controls, gameController, wmKeyDown, key, lParam); }
void up(std::uint32_t key) { handleInputMessage(controls, gameController, wmKeyUp, key, keyRepeatFlag | (std::int64_t{1} << 31)); }

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetControls(controls);
        controls.cursorDisplayCount = 0;
        gameController.joystickUsable = 1;
        gameController.joystickState = JoystickState{};
    }
};

TEST_F(ControlsTest, ThrustKeysLetTheLastPressedWin)
{
    down('W');
    EXPECT_EQ(controls.keyForward, 1000.0f);
    down('S');
    EXPECT_EQ(controls.keyForward, -1000.0f);
    up('W');
    EXPECT_EQ(controls.keyForward, -1000.0f);
    up('S');
    EXPECT_EQ(controls.keyForward, 0.0f);

    down('S');
    down('W');
    up('S');
    EXPECT_EQ(controls.keyForward, 1000.0f);
    up('W');
    EXPECT_EQ(controls.keyForward, 0.0f);
}

TEST_F(ControlsTest, SteeringKeysLetTheLastPressedWin)
{
    down('A');
    EXPECT_EQ(controls.keyTurn, 500.0f);
    down('D');
    up('A');
    EXPECT_EQ(controls.keyTurn, -500.0f);
    up('D');
    EXPECT_EQ(controls.keyTurn, 0.0f);

    down('D');
    down('A');
    up('D');
    EXPECT_EQ(controls.keyTurn, 500.0f);
    up('A');
    EXPECT_EQ(controls.keyTurn, 0.0f);
}

TEST_F(ControlsTest, ReleaseThresholdsAreTheGamesOwn)
{
    // The S release clears anything below 1, so a forward value of exactly 1
    // or less (never produced by the keys, but the rule is the rule) goes.
    controls.keyForward = 0.5f;
    up('W');
    EXPECT_EQ(controls.keyForward, 0.5f);
    up('S');
    EXPECT_EQ(controls.keyForward, 0.0f);
    controls.keyForward = 1.0f;
    up('W');
    EXPECT_EQ(controls.keyForward, 1.0f);
}

TEST_F(ControlsTest, SpaceHoldsTheButtonValue)
{
    down(vkSpace);
    EXPECT_EQ(controls.keyButton, 1000.0f);
    up(vkSpace);
    EXPECT_EQ(controls.keyButton, 0.0f);
}

TEST_F(ControlsTest, AutoRepeatIsIgnored)
{
    down('W');
    down('S', keyRepeatFlag);  // a repeat cannot be a first press
    EXPECT_EQ(controls.keyForward, 1000.0f);
    up('W');
    down('W', keyRepeatFlag);
    EXPECT_EQ(controls.keyForward, 0.0f);
    down(vkSpace, keyRepeatFlag);
    EXPECT_EQ(controls.keyButton, 0.0f);
}

TEST_F(ControlsTest, KeysOutsideTheTableAndOtherMessagesChangeNothing)
{
    for (std::uint32_t key : {std::uint32_t{'X'}, std::uint32_t{'Q'}, std::uint32_t{'0'}, vkLeft, vkRight,
                              vkUp, vkDown, vkEscape, std::uint32_t{'w'}}) {
        down(key);
        up(key);
    }
    handleInputMessage(controls, gameController, wmMouseMove, 0, 0x00100010);
    handleInputMessage(controls, gameController, wmRButtonDown, 2, 0);
    handleInputMessage(controls, gameController, wmMButtonUp, 0, 0);
    handleInputMessage(controls, gameController, wmMouseWheel, std::uint64_t{120} << 16, 0);
    EXPECT_EQ(controls.keyForward, 0.0f);
    EXPECT_EQ(controls.keyTurn, 0.0f);
    EXPECT_EQ(controls.keyButton, 0.0f);
    EXPECT_EQ(controls.leftButtonDown, 0);
    EXPECT_EQ(controls.cursorDisplayCount, 0);
}

// Alt held while W or Space is let go of turns the release into a system key
// message: it still releases. Presses with Alt are the system's.
TEST_F(ControlsTest, AKeyReleasedWhileAltIsHeldIsReleased)
{
    constexpr std::int64_t alt = std::int64_t{1} << 29;
    down('W');
    down(vkSpace);
    handleInputMessage(controls, gameController, wmSysKeyUp, 'W', alt | keyRepeatFlag | (std::int64_t{1} << 31));
    handleInputMessage(controls, gameController, wmSysKeyUp, vkSpace, alt | keyRepeatFlag | (std::int64_t{1} << 31));
    EXPECT_EQ(controls.keyForward, 0.0f);
    EXPECT_EQ(controls.keyButton, 0.0f);
    handleInputMessage(controls, gameController, wmSysKeyDown, 'S', alt);
    EXPECT_EQ(controls.keyForward, 0.0f);
}

TEST_F(ControlsTest, OnlyTheLowSixteenBitsNameTheKey)
{
    down(0x10000u | 'W');
    EXPECT_EQ(controls.keyForward, 1000.0f);
}

TEST_F(ControlsTest, EveryMessageTwiceInARowGivesTheSameResult)
{
    // The loop hands each message to the window twice.
    const Message script[] = {
        {wmKeyDown, 'W', 0}, {wmKeyDown, 'S', 0},      {wmKeyUp, 'W', 0},       {wmKeyDown, 'A', 0},
        {wmKeyDown, 'D', 0}, {wmKeyUp, 'A', 0},        {wmKeyDown, vkSpace, 0}, {wmLButtonDown, 1, 0},
        {wmKeyUp, 'S', 0},   {wmLButtonUp, 0, 0},      {wmKeyUp, 'D', 0},       {wmKeyUp, vkSpace, 0},
    };
    for (const Message& m : script) {
        handleInputMessage(controls, gameController, m.message, m.wParam, m.lParam);
        const float f = controls.keyForward;
        const float t = controls.keyTurn;
        const float b = controls.keyButton;
        const int l = controls.leftButtonDown;
        const int c = controls.cursorDisplayCount;
        handleInputMessage(controls, gameController, m.message, m.wParam, m.lParam);
        EXPECT_EQ(controls.keyForward, f);
        EXPECT_EQ(controls.keyTurn, t);
        EXPECT_EQ(controls.keyButton, b);
        EXPECT_EQ(controls.leftButtonDown, l);
        EXPECT_EQ(controls.cursorDisplayCount, c);
    }
    EXPECT_EQ(controls.keyForward, 0.0f);
    EXPECT_EQ(controls.keyTurn, 0.0f);
    EXPECT_EQ(controls.cursorDisplayCount, 1);
}

TEST_F(ControlsTest, LeftReleaseShowsTheCursorOnlyAfterAPress)
{
    handleInputMessage(controls, gameController, wmLButtonUp, 0, 0);
    EXPECT_EQ(controls.cursorDisplayCount, 0);
    handleInputMessage(controls, gameController, wmLButtonDown, 1, 0);
    EXPECT_EQ(controls.leftButtonDown, 1);
    handleInputMessage(controls, gameController, wmLButtonUp, 0, 0);
    EXPECT_EQ(controls.leftButtonDown, 0);
    EXPECT_EQ(controls.cursorDisplayCount, 1);
}

TEST_F(ControlsTest, SpaceReleaseClearsTheEmulatedButtonOnlyWithoutAController)
{
    gameController.joystickUsable = 0;
    gameController.joystickState.rgbButtons[0] = 0xE8;  // set by the frame while Space was held
    gameController.joystickState.rgbButtons[1] = 0x80;
    down(vkSpace);
    EXPECT_EQ(gameController.joystickState.rgbButtons[0], 0xE8);
    up(vkSpace);
    EXPECT_EQ(gameController.joystickState.rgbButtons[0], 0);
    EXPECT_EQ(gameController.joystickState.rgbButtons[1], 0x80);

    // With a controller the pad owns its buttons: Space leaves them alone.
    gameController.joystickUsable = 1;
    gameController.joystickState.rgbButtons[0] = 0x80;
    down(vkSpace);
    up(vkSpace);
    EXPECT_EQ(gameController.joystickState.rgbButtons[0], 0x80);
}

TEST_F(ControlsTest, ResetClearsEveryControlValue)
{
    down('W');
    down('D');
    down(vkSpace);
    handleInputMessage(controls, gameController, wmLButtonDown, 1, 0);
    resetControls(controls);
    EXPECT_EQ(controls.keyForward, 0.0f);
    EXPECT_EQ(controls.keyTurn, 0.0f);
    EXPECT_EQ(controls.keyButton, 0.0f);
    EXPECT_EQ(controls.leftButtonDown, 0);
}

int conditioned(std::int32_t x)
{
    gameController.joystickState.lX = x;
    conditionControls(controls, gameController);
    return gameController.joystickState.lX;
}

TEST_F(ControlsTest, DeadZoneAndShiftTowardZero)
{
    EXPECT_EQ(conditioned(199), 0);
    EXPECT_EQ(conditioned(-199), 0);
    EXPECT_EQ(conditioned(0), 0);
    EXPECT_EQ(conditioned(200), 0);
    EXPECT_EQ(conditioned(-200), 0);
    EXPECT_EQ(conditioned(201), 1);
    EXPECT_EQ(conditioned(1000), 800);
    EXPECT_EQ(conditioned(-650), -450);
    EXPECT_EQ(conditioned(-1000), -800);
}

TEST_F(ControlsTest, SteeringKeysAreSubtractedFromTheAxis)
{
    controls.keyTurn = 500.0f;  // A steers like the stick pushed left
    EXPECT_EQ(conditioned(0), -500);
    EXPECT_EQ(conditioned(1000), 300);
    controls.keyTurn = -500.0f;
    EXPECT_EQ(conditioned(-650), 50);
}

// Frames of play without a controller: the frame clamps the stored axis to
// ±1000 after the ship has used it.
TEST_F(ControlsTest, KeyboardSteeringRampsUpAndDecaysWithoutAController)
{
    auto frameOfPlay = [] {
        conditionControls(controls, gameController);
        const int seen = steeringAxis(gameController);
        fixUpControls(gameController);
        return seen;
    };
    controls.keyTurn = 500.0f;
    EXPECT_EQ(frameOfPlay(), -500);
    EXPECT_EQ(frameOfPlay(), -800);
    EXPECT_EQ(frameOfPlay(), -1100);
    EXPECT_EQ(gameController.joystickState.lX, -1000);
    EXPECT_EQ(frameOfPlay(), -1300);
    EXPECT_EQ(frameOfPlay(), -1300);

    controls.keyTurn = 0.0f;
    for (int expected : {-800, -600, -400, -200, 0, 0}) {
        EXPECT_EQ(frameOfPlay(), expected);
    }
}

TEST_F(ControlsTest, ConditioningSaturatesInsteadOfOverflowing)
{
    controls.keyTurn = 500.0f;
    gameController.joystickState.lX = INT32_MIN + 100;
    conditionControls(controls, gameController);
    EXPECT_EQ(gameController.joystickState.lX, INT32_MIN);
    controls.keyTurn = -500.0f;
    gameController.joystickState.lX = INT32_MAX - 100;
    conditionControls(controls, gameController);
    EXPECT_EQ(gameController.joystickState.lX, INT32_MAX);
}

}  // namespace
