// The frame pacer's clock on Windows: the performance counter, and Sleep in
// whole milliseconds, rounded up so that a frame never comes early (the
// Windows host asks for 1 ms timer resolution).
#include <windows.h>

#include "app/frame_pacer.h"

std::int64_t monotonicNanoseconds()
{
    static const std::int64_t frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return static_cast<std::int64_t>(f.QuadPart);
    }();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    const std::int64_t ticks = now.QuadPart;
    return ticks / frequency * 1'000'000'000 + ticks % frequency * 1'000'000'000 / frequency;
}

void sleepUntil(std::int64_t nanoseconds)
{
    for (std::int64_t left = nanoseconds - monotonicNanoseconds(); left > 0;
         left = nanoseconds - monotonicNanoseconds()) {
        Sleep(static_cast<DWORD>((left + 999'999) / 1'000'000));
    }
}
