#include "app/frame_pacer.h"

#include <cerrno>
#include <ctime>

std::int64_t FramePacer::nextDeadline(std::int64_t now)
{
    if (!started_ || now - deadline_ > period_) {
        started_ = true;
        // First frame, or more than a whole period late: start over from now.
        deadline_ = now;
        return now;
    }
    deadline_ += period_;
    return deadline_ > now ? deadline_ : now;
}

std::int64_t monotonicNanoseconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

void FramePacer::wait()
{
    const std::int64_t now = monotonicNanoseconds();
    const std::int64_t until = nextDeadline(now);
    if (until <= now) {
        return;
    }
    timespec target{};
    target.tv_sec = static_cast<time_t>(until / 1'000'000'000);
    target.tv_nsec = static_cast<long>(until % 1'000'000'000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &target, nullptr) == EINTR) {
    }
}
