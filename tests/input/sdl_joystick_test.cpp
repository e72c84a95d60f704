// The real controller code against SDL's virtual joysticks: no hardware
// needed, the same opening and reading paths as a plugged-in pad.
#include <SDL.h>
#include <gtest/gtest.h>

#include "input/joystick.h"
#include "input/joystick_device.h"

namespace {

class SdlJoystickTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gameController.joystickState = JoystickState{};
        gameController.joystickUsable = 1;
        joystickDevice = nullptr;
    }
    void TearDown() override
    {
        if (virtualIndex_ >= 0) {
            SDL_JoystickDetachVirtual(virtualIndex_);
        }
        joystickDevice = nullptr;
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }

    SDL_Joystick* attach(SDL_JoystickType type, int axes, int buttons)
    {
        if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
            return nullptr;
        }
        virtualIndex_ = SDL_JoystickAttachVirtual(type, axes, buttons, 0);
        if (virtualIndex_ < 0) {
            return nullptr;
        }
        return SDL_JoystickOpen(virtualIndex_);  // the test's own handle to drive it
    }

    int virtualIndex_ = -1;
};

TEST_F(SdlJoystickTest, NoControllerMeansMinusTen)
{
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0);
    if (SDL_NumJoysticks() != 0) {
        GTEST_SKIP() << "a real controller is attached";
    }
    EXPECT_EQ(initJoystick(), noControllerFound);
    EXPECT_EQ(joystickDevice, nullptr);
    EXPECT_EQ(pollJoystick(), 0);
}

TEST_F(SdlJoystickTest, AVirtualPadDrivesTheStickAndTheTwoButtons)
{
    SDL_Joystick* pad = attach(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                               SDL_CONTROLLER_BUTTON_MAX);
    ASSERT_NE(pad, nullptr) << SDL_GetError();
    ASSERT_TRUE(SDL_IsGameController(virtualIndex_));

    ASSERT_EQ(initJoystick(), 0);
    ASSERT_NE(joystickDevice, nullptr);

    EXPECT_EQ(pollJoystick(), 0);
    EXPECT_EQ(gameController.joystickState.lX, 0);
    EXPECT_EQ(gameController.joystickState.rgbButtons[0], 0);

    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 32767);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
    EXPECT_EQ(pollJoystick(), 0);
    EXPECT_EQ(gameController.joystickState.lX, 1000);
    EXPECT_EQ(gameController.joystickState.rgbButtons[0], 0x80);
    EXPECT_EQ(gameController.joystickState.rgbButtons[1], 0);

    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, -32768);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 0);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_B, 1);
    EXPECT_EQ(pollJoystick(), 0);
    EXPECT_EQ(gameController.joystickState.lX, -1000);
    EXPECT_EQ(gameController.joystickState.rgbButtons[0], 0);
    EXPECT_EQ(gameController.joystickState.rgbButtons[1], 0x80);

    // Other axes do not reach lX.
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 0);
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX, 32767);
    EXPECT_EQ(pollJoystick(), 0);
    EXPECT_EQ(gameController.joystickState.lX, 0);

    // Pulled out: the next read fails and the game falls back to the keyboard.
    SDL_JoystickClose(pad);
    ASSERT_EQ(SDL_JoystickDetachVirtual(virtualIndex_), 0);
    virtualIndex_ = -1;
    EXPECT_LT(pollJoystick(), 0);
    EXPECT_EQ(gameController.joystickUsable, 0);
}

TEST_F(SdlJoystickTest, ARawJoystickUsesItsFirstAxisAndButtons)
{
    SDL_Joystick* stick = attach(SDL_JOYSTICK_TYPE_FLIGHT_STICK, 3, 4);
    ASSERT_NE(stick, nullptr) << SDL_GetError();
    ASSERT_FALSE(SDL_IsGameController(virtualIndex_));

    ASSERT_EQ(initJoystick(), 0);
    SDL_JoystickSetVirtualAxis(stick, 0, -16384);
    SDL_JoystickSetVirtualAxis(stick, 1, 32767);
    SDL_JoystickSetVirtualButton(stick, 1, 1);
    EXPECT_EQ(pollJoystick(), 0);
    EXPECT_EQ(gameController.joystickState.lX, -500);
    EXPECT_EQ(gameController.joystickState.lY, 1000);
    EXPECT_EQ(gameController.joystickState.rgbButtons[0], 0);
    EXPECT_EQ(gameController.joystickState.rgbButtons[1], 0x80);
    SDL_JoystickClose(stick);
}

TEST_F(SdlJoystickTest, APadPluggedInLaterIsOpenedAndAfterItGoesTheNextOneIs)
{
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0);
    if (SDL_NumJoysticks() != 0) {
        GTEST_SKIP() << "a real controller is attached";
    }
    // Started without one, as the game does: keyboard alone.
    ASSERT_EQ(initJoystick(), noControllerFound);
    gameController.joystickUsable = 0;
    EXPECT_EQ(pollJoystick(), 0);
    EXPECT_EQ(joystickDevice, nullptr);

    for (int plugging = 1; plugging <= 2; ++plugging) {
        SCOPED_TRACE(plugging);
        SDL_Joystick* pad = attach(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                   SDL_CONTROLLER_BUTTON_MAX);
        ASSERT_NE(pad, nullptr) << SDL_GetError();
        SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
        SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, -32768);
        EXPECT_EQ(pollJoystick(), 0);
        EXPECT_EQ(gameController.joystickUsable, 1);
        ASSERT_NE(joystickDevice, nullptr);
        EXPECT_EQ(gameController.joystickState.rgbButtons[0], 0x80);
        EXPECT_EQ(gameController.joystickState.lX, -1000);

        // A second pad plugged in beside it does not take over.
        const int second = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                     SDL_CONTROLLER_BUTTON_MAX, 0);
        ASSERT_GE(second, 0);
        EXPECT_EQ(pollJoystick(), 0);
        EXPECT_EQ(gameController.joystickState.rgbButtons[0], 0x80);
        EXPECT_EQ(SDL_JoystickDetachVirtual(second), 0);

        // Pulled out: back to the keyboard until the next one comes.
        SDL_JoystickClose(pad);
        ASSERT_EQ(SDL_JoystickDetachVirtual(virtualIndex_), 0);
        virtualIndex_ = -1;
        EXPECT_LT(pollJoystick(), 0);
        EXPECT_EQ(gameController.joystickUsable, 0);
        gameController.joystickState = JoystickState{};
        pollJoystick();
        EXPECT_EQ(gameController.joystickUsable, 0);
    }
}

}  // namespace
