#include "app/frame_pacer.h"
#include "app/interval_timer.h"

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

TEST(IntervalTimer, FallsDueAtMostOncePerPeriodHoweverOftenItIsAsked)
{
    IntervalTimer timer(period);
    int due = 0;
    // Asked every 7 units for 10 periods, starting at 500: never two within one period.
    std::int64_t last = -period;
    for (std::int64_t now = 500; now <= 10'500; now += 7) {
        if (timer.due(now)) {
            ++due;
            EXPECT_GE(now - last, period) << now;
            last = now;
        }
    }
    EXPECT_EQ(due, 9);  // the first period starts with the first call
    // A late ask falls due once; the next period starts from it, not before.
    EXPECT_TRUE(timer.due(15'000));
    EXPECT_FALSE(timer.due(15'000));
    EXPECT_FALSE(timer.due(15'999));
    EXPECT_TRUE(timer.due(16'000));
}

}  // namespace
