#include "app/frame_pacer.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

constexpr std::int64_t period = 1000;

TEST(FramePacer, FastFramesWaitForTheNextPeriodBoundary)
{
    FramePacer pacer(period);
    EXPECT_EQ(pacer.nextDeadline(5000), 5000);  // the first frame starts the schedule
    EXPECT_EQ(pacer.nextDeadline(5100), 6000);
    EXPECT_EQ(pacer.nextDeadline(6050), 7000);
    EXPECT_EQ(pacer.nextDeadline(7999), 8000);
}

TEST(FramePacer, ASlightlyLateFrameKeepsTheScheduleAndALongStallRestartsIt)
{
    FramePacer pacer(period);
    pacer.nextDeadline(0);
    EXPECT_EQ(pacer.nextDeadline(900), 1000);
    // Exactly on the next boundary: no sleep, schedule kept.
    EXPECT_EQ(pacer.nextDeadline(2000), 2000);
    EXPECT_EQ(pacer.nextDeadline(2100), 3000);
    // A stall of several periods is not made up by a burst of short frames.
    EXPECT_EQ(pacer.nextDeadline(9500), 9500);
    EXPECT_EQ(pacer.nextDeadline(9600), 10500);
}

TEST(FramePacer, WaitHoldsTheRateAtSixtyFramesPerSecond)
{
    FramePacer pacer(sixtyHertz);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 7; ++i) {
        pacer.wait();
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    // Six full periods after the first frame: at least 100 ms.
    EXPECT_GE(elapsed, std::chrono::nanoseconds(6 * sixtyHertz));
}

}  // namespace
