// A process writing the settings (or records) in a tight loop, killed with
// SIGKILL at many random moments: after every kill the file loads, without
// a notice, as one of the two contents the loop writes.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <random>
#include <thread>

#include "child_process.h"
#include "scratch_folder.h"
#include "store_kill_samples.h"

namespace {

namespace fs = std::filesystem;
using KillDuringWrite = ScratchFolder;

template <typename Load, typename Sample>
void killRepeatedly(const fs::path& file, const char* kind, Load load, Sample sample)
{
    std::mt19937 random(20261208);
    int seen[2] = {0, 0};
    for (int kill = 0; kill < 150; ++kill) {
        ChildProcess child({{STORE_WRITE_LOOP, kind, file.string()}, {}, "", "", 30});
        ASSERT_TRUE(child.started());
        std::this_thread::sleep_for(std::chrono::microseconds(2000 + random() % 20000));
        child.signal(SIGKILL);
        const ProcessResult result = child.finish();
        ASSERT_EQ(result.signal, SIGKILL) << result.err;

        const auto loaded = load(file);
        ASSERT_EQ(loaded.notice.notice, "") << "after kill " << kill;
        const int which = loaded.value == sample(0) ? 0 : loaded.value == sample(1) ? 1 : -1;
        ASSERT_NE(which, -1) << "after kill " << kill;
        ++seen[which];
    }
    // The kills fell on both contents, so they came at different moments.
    EXPECT_GT(seen[0], 10);
    EXPECT_GT(seen[1], 10);
}

struct SettingsLoad {
    Settings value;
    LoadNotice notice;
};
struct RecordsLoad {
    Records value;
    LoadNotice notice;
};

TEST_F(KillDuringWrite, SettingsAlwaysLoadAsTheOldOrTheNewContent)
{
    const fs::path file = folder / settingsFileName;
    ASSERT_EQ(saveSettingsFile(file, killSampleSettings(1)), "");
    killRepeatedly(
        file, "settings",
        [](const fs::path& f) {
            LoadedSettings l = loadSettingsFile(f);
            return SettingsLoad{l.settings, l.notice};
        },
        killSampleSettings);
}

TEST_F(KillDuringWrite, RecordsAlwaysLoadAsTheOldOrTheNewContent)
{
    const fs::path file = folder / recordsFileName;
    ASSERT_EQ(saveRecordsFile(file, killSampleRecords(1)), "");
    killRepeatedly(
        file, "records",
        [](const fs::path& f) {
            LoadedRecords l = loadRecordsFile(f);
            return RecordsLoad{l.records, l.notice};
        },
        killSampleRecords);
}

}  // namespace
