#include "app/frame_pacer.h"

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

void FramePacer::wait()
{
    const std::int64_t now = monotonicNanoseconds();
    const std::int64_t until = nextDeadline(now);
    if (until <= now) {
        return;
    }
    sleepUntil(until);
}
