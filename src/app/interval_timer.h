#pragma once

#include <cstdint>

// A timer that falls due at most once per period of a monotonic clock: the
// first period starts with the first call, and each time it falls due the
// next period starts from that moment, so late calls never bunch up.
class IntervalTimer {
public:
    explicit IntervalTimer(std::int64_t periodNanoseconds) : period_(periodNanoseconds) {}

    // True when a whole period has passed since the timer last fell due.
    bool due(std::int64_t now)
    {
        if (!started_) {
            started_ = true;
            last_ = now;
            return false;
        }
        if (now - last_ < period_) {
            return false;
        }
        last_ = now;
        return true;
    }

private:
    std::int64_t period_;
    std::int64_t last_ = 0;
    bool started_ = false;
};

constexpr std::int64_t oneSecond = 1'000'000'000;
