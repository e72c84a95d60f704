#pragma once

#include <cstdint>

// Holds the frame rate at or below a fixed rate: each call sleeps until one
// period after the previous frame's deadline. A frame that ran late starts a
// new schedule instead of being made up by a burst of short frames.
class FramePacer {
public:
    explicit FramePacer(std::int64_t periodNanoseconds) : period_(periodNanoseconds) {}

    // Sleeps the rest of the current period (monotonic clock, no busy wait).
    void wait();

    // The deadline schedule for a frame finishing at time now: returns the
    // time to sleep until (equal to now when no sleep is due). Exposed so the
    // schedule can be checked without a clock.
    std::int64_t nextDeadline(std::int64_t now);

private:
    std::int64_t period_;
    std::int64_t deadline_ = 0;
    bool started_ = false;
};

constexpr std::int64_t sixtyHertz = 1'000'000'000 / 60;

// The pacer's clock: monotonic, in nanoseconds, and a sleep until a time of
// it (pacer_clock.cpp on POSIX systems, win32_pacer_clock.cpp on Windows).
std::int64_t monotonicNanoseconds();
void sleepUntil(std::int64_t nanoseconds);
