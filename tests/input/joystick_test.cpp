#include "input/joystick.h"

#include <gtest/gtest.h>

#include "input/joystick_device.h"

namespace {

// A device whose answers the test chooses.
class ScriptedDevice final : public JoystickDevice {
public:
    int pollResult = 0;
    int acquireResult = 0;
    int lostAcquires = 0;  // how many acquires answer inputLost before acquireResult
    int readResult = 0;
    JoystickState next{};
    int polls = 0;
    int acquires = 0;
    int reads = 0;

    int poll() override
    {
        ++polls;
        return pollResult;
    }
    int acquire() override
    {
        ++acquires;
        if (lostAcquires > 0) {
            --lostAcquires;
            return inputLost;
        }
        return acquireResult;
    }
    int getState(JoystickState& state) override
    {
        ++reads;
        if (readResult < 0) {
            return readResult;
        }
        state = next;
        return 0;
    }
};

class JoystickPollTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gameController.joystickState = JoystickState{};
        gameController.joystickUsable = 1;
        joystickDevice = &device;
    }
    void TearDown() override { joystickDevice = nullptr; }
    ScriptedDevice device;
};

TEST(JoystickAxis, RawReadingsScaleToPlusMinusThousand)
{
    EXPECT_EQ(scaleAxis(-32768), -1000);
    EXPECT_EQ(scaleAxis(32767), 1000);
    EXPECT_EQ(scaleAxis(0), 0);
    EXPECT_EQ(scaleAxis(16384), 500);
    EXPECT_EQ(scaleAxis(-16384), -500);
    EXPECT_EQ(scaleAxis(33), 1);
    EXPECT_EQ(scaleAxis(-33), -1);
    // Monotonic over the whole range.
    int previous = scaleAxis(-32768);
    for (int raw = -32767; raw <= 32767; ++raw) {
        const int s = scaleAxis(raw);
        ASSERT_GE(s, previous) << raw;
        previous = s;
    }
}

TEST_F(JoystickPollTest, WithoutADevicePollingDoesNothing)
{
    joystickDevice = nullptr;
    gameController.joystickState.lX = 123;
    EXPECT_EQ(pollJoystick(), 0);
    EXPECT_EQ(gameController.joystickState.lX, 123);
    EXPECT_EQ(gameController.joystickUsable, 1);
}

TEST_F(JoystickPollTest, ASuccessfulReadReplacesTheWholeState)
{
    gameController.joystickState.lX = 999;
    gameController.joystickState.rgbButtons[0] = 0xE8;  // the frame's Space emulation
    device.next.lX = -400;
    device.next.rgbButtons[1] = 0x80;
    EXPECT_EQ(pollJoystick(), 0);
    EXPECT_EQ(gameController.joystickState.lX, -400);
    EXPECT_EQ(gameController.joystickState.rgbButtons[0], 0);
    EXPECT_EQ(gameController.joystickState.rgbButtons[1], 0x80);
    EXPECT_EQ(gameController.joystickUsable, 1);
}

TEST_F(JoystickPollTest, AFailedPollAcquiresAndKeepsTheLastState)
{
    gameController.joystickState.lX = 640;
    gameController.joystickState.rgbButtons[0] = 0x80;
    device.pollResult = notAcquired;
    device.lostAcquires = 3;
    device.next.lX = -1000;
    EXPECT_EQ(pollJoystick(), 0);
    EXPECT_EQ(device.acquires, 4);  // until it stops answering "input lost"
    EXPECT_EQ(device.reads, 0);
    EXPECT_EQ(gameController.joystickState.lX, 640);
    EXPECT_EQ(gameController.joystickState.rgbButtons[0], 0x80);
    EXPECT_EQ(gameController.joystickUsable, 1);

    // The next turn reads once the device answers again.
    device.pollResult = 0;
    EXPECT_EQ(pollJoystick(), 0);
    EXPECT_EQ(gameController.joystickState.lX, -1000);
}

TEST_F(JoystickPollTest, ADeviceThatIsForeverLostCannotHangThePoll)
{
    device.pollResult = notAcquired;
    device.lostAcquires = 1'000'000;
    EXPECT_EQ(pollJoystick(), 0);
    EXPECT_LT(device.acquires, 1000);
    EXPECT_GE(device.acquires, 2);
}

TEST_F(JoystickPollTest, AFailedReadClearsUsableForGood)
{
    gameController.joystickState.lX = 77;
    device.readResult = deviceUnplugged;
    EXPECT_EQ(pollJoystick(), deviceUnplugged);
    EXPECT_EQ(gameController.joystickUsable, 0);
    EXPECT_EQ(gameController.joystickState.lX, 77);

    device.readResult = 0;
    device.next.lX = 5;
    EXPECT_EQ(pollJoystick(), 0);
    EXPECT_EQ(gameController.joystickState.lX, 5);
    EXPECT_EQ(gameController.joystickUsable, 0);  // never set again
}

}  // namespace
