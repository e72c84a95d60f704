#pragma once

// The two contents the write loop alternates between; they differ in length
// and in every value, so a mix of the two or a cut one cannot pass for either.
#include "store/records_file.h"
#include "store/settings_file.h"

inline Settings killSampleSettings(int which)
{
    return which == 0 ? Settings{3, false, true, WindowSize{1280, 800}} : Settings{10, true, false, {}};
}

inline Records killSampleRecords(int which)
{
    Records r;
    for (int level = 1; level <= 9; ++level) {
        if (which == 0 || level % 3 == 0) recordLevelBonus(r, level, level * 11 + which, 1700000000 + level);
    }
    recordGameScore(r, 900 + which, which == 0 ? 0 : 1767225600);
    return r;
}
