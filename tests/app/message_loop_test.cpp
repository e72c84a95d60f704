#include "app/message_loop.h"

#include <gtest/gtest.h>

#include <string>

#include "fake_game.h"
#include "fake_host.h"
#include "input/joystick_device.h"

namespace {

// What the loop did, in order: P a paint, J a joystick poll, K a key message,
// C a close request, D the window's destruction, N a message the window got
// after it was destroyed (must never appear).
std::string trace;
int paints = 0;
int closeAfterPaints = 0;

class CountingDevice final : public JoystickDevice {
public:
    int poll() override
    {
        trace += 'J';
        return 0;
    }
    int acquire() override { return 0; }
    int getState(JoystickState&) override { return 0; }
};

CountingDevice countingDevice;

std::int64_t recordingProc(Host& host, std::uint32_t message, std::uint64_t, std::int64_t)
{
    if (!host.windowExists()) {
        trace += 'N';
    }
    switch (message) {
        case wmPaint:
            trace += 'P';
            if (++paints == closeAfterPaints) {
                host.postMessage(Message{wmClose, 0, 0});
            }
            host.presentFrame();
            return 0;
        case wmKeyDown:
        case wmKeyUp:
            trace += 'K';
            return 0;
        case wmClose:
            trace += 'C';
            host.destroyWindow();
            return 0;
        case wmDestroy:
            trace += 'D';
            host.postQuitMessage(0);
            return 0;
        default:
            return 0;
    }
}

class MessageLoopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        trace.clear();
        paints = 0;
        closeAfterPaints = 0;
        joystickDevice = &countingDevice;
    }
    void TearDown() override { joystickDevice = nullptr; }

    FakeGame game;  // the window's game; these procedures never reach it
};

TEST_F(MessageLoopTest, SteadyStateRunsTwoFramesPerPollAndEndsWithExitCodeOne)
{
    FakeHost host;
    ASSERT_TRUE(host.createWindow(recordingProc, game));
    closeAfterPaints = 20;

    EXPECT_EQ(runMessageLoop(host), 1);

    // First turn: the empty held message, a poll, the first paint. Then every
    // turn paints the held message again, polls, and paints a new one. The
    // close is taken once, the window is destroyed, and the held close goes
    // nowhere on the last turn, which takes the quit.
    EXPECT_EQ(trace, "JP" + [] {
        std::string s;
        for (int i = 0; i < 9; ++i) {
            s += "PJP";
        }
        return s;
    }() + "PJCD" + "J");
    EXPECT_EQ(host.framesPresented, 20);
    EXPECT_FALSE(host.windowExists());
}

TEST_F(MessageLoopTest, InputMessagesAreHandledTwiceAroundOnePoll)
{
    FakeHost host;
    ASSERT_TRUE(host.createWindow(recordingProc, game));
    closeAfterPaints = 4;
    host.events.push_back([](FakeHost&) {});
    host.events.push_back([](FakeHost& h) { h.postMessage(Message{wmKeyDown, 'W', 0}); });

    EXPECT_EQ(runMessageLoop(host), 1);
    EXPECT_EQ(trace, "JP" "PJKKJP" "PJCDJ");
}

TEST_F(MessageLoopTest, MinimisedWindowGetsNoFramesAndWaitsForEvents)
{
    FakeHost host;
    ASSERT_TRUE(host.createWindow(recordingProc, game));
    host.events.push_back([](FakeHost& h) { h.setMinimised(true); });
    for (int i = 0; i < 3; ++i) {
        host.events.push_back([](FakeHost&) {});  // events that bring nothing
    }
    host.events.push_back([](FakeHost& h) { h.setMinimised(false); });
    closeAfterPaints = 3;

    EXPECT_EQ(runMessageLoop(host), 1);
    // The minimise replaces the held paint by a message that does nothing;
    // while minimised each turn waits for an event instead of painting.
    EXPECT_EQ(trace, "J" "J" "JP" "PJP" "PJCD" "J");
    EXPECT_EQ(host.waits, 2);
}

TEST_F(MessageLoopTest, QueuedMessagesComeBeforeThePaintAndTheQuitComesLast)
{
    FakeHost host;
    ASSERT_TRUE(host.createWindow(recordingProc, game));
    host.postMessage(Message{wmKeyDown, 'A', 0});
    host.postQuitMessage(0);
    host.postMessage(Message{wmKeyUp, 'A', 0});

    Message m;
    ASSERT_TRUE(host.takeMessage(m));
    EXPECT_EQ(m.message, wmKeyDown);
    ASSERT_TRUE(host.takeMessage(m));
    EXPECT_EQ(m.message, wmKeyUp);
    ASSERT_TRUE(host.takeMessage(m));
    EXPECT_EQ(m.message, wmQuit);
    ASSERT_TRUE(host.takeMessage(m));
    EXPECT_EQ(m.message, wmPaint);
}

// A burst of pointer motion fills the queue; every key and button message
// posted into it still arrives, in order, with the motion merged or pushed
// out around them and the newest pointer position kept. Only a queue full of
// keys and buttons refuses one, and nothing is ever overwritten.
TEST_F(MessageLoopTest, FullQueueLetsPointerMotionGiveWayToKeysAndButtons)
{
    FakeHost host;
    ASSERT_TRUE(host.createWindow(recordingProc, game));
    int keys = 0;
    for (int i = 0; i < 1500; ++i) {
        const bool key = i % 7 == 3;
        const Message m = key ? Message{i % 2 == 0 ? wmKeyUp : wmLButtonDown, static_cast<std::uint64_t>(keys++), 0}
                              : Message{wmMouseMove, 0, i};
        ASSERT_TRUE(host.postMessage(m)) << "message " << i;
    }
    ASSERT_EQ(keys, 214);
    Message m;
    int keysSeen = 0;
    int taken = 0;
    std::int64_t lastMotion = -1;
    while (host.takeMessage(m) && m.message != wmPaint) {
        ++taken;
        if (m.message == wmMouseMove) {
            ASSERT_GT(m.lParam, lastMotion) << "motion stays in order";
            lastMotion = m.lParam;
        } else {
            ASSERT_EQ(m.wParam, static_cast<std::uint64_t>(keysSeen++));
        }
    }
    EXPECT_EQ(taken, 256);
    EXPECT_EQ(keysSeen, keys);
    EXPECT_EQ(lastMotion, 1499) << "the pointer ends where it last was";

    // Keys alone: the 257th is refused, none is overwritten.
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(host.postMessage(Message{wmKeyDown, static_cast<std::uint64_t>(i), 0}), i < 256);
    }
    host.takeMessage(m);
    EXPECT_EQ(m.wParam, 0u);
    EXPECT_TRUE(host.postMessage(Message{wmMouseMove, 0, 5})) << "one slot free again";
    EXPECT_TRUE(host.postMessage(Message{wmKeyUp, 999, 0})) << "the motion gives way";
    EXPECT_FALSE(host.postMessage(Message{wmMouseMove, 0, 6})) << "no room, no motion to merge";
}

TEST_F(MessageLoopTest, FailedCreationLeavesNoWindowAndNoMessages)
{
    FakeHost host;
    host.failOpen = true;
    EXPECT_FALSE(host.createWindow(recordingProc, game));
    EXPECT_FALSE(host.windowExists());
    Message m;
    EXPECT_FALSE(host.takeMessage(m));
    EXPECT_EQ(host.sendMessage(wmPaint), 0);
    EXPECT_EQ(trace, "");
}

}  // namespace
