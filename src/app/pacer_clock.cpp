// The frame pacer's clock on POSIX systems: CLOCK_MONOTONIC.
#include <cerrno>
#include <ctime>

#include "app/frame_pacer.h"

std::int64_t monotonicNanoseconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

void sleepUntil(std::int64_t until)
{
    timespec target{};
    target.tv_sec = static_cast<time_t>(until / 1'000'000'000);
    target.tv_nsec = static_cast<long>(until % 1'000'000'000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &target, nullptr) == EINTR) {
    }
}
