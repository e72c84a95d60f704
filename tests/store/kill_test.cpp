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

// Which of the loop's two contents a file loads as (-1: neither), and the
// load's notice (empty when the file was sound).
struct Loaded {
    int which;
    std::string notice;
};

template <typename Values>
int whichSample(const Values& values, Values (*sample)(int))
{
    return values == sample(0) ? 0 : values == sample(1) ? 1 : -1;
}

Loaded loadSettings(const fs::path& file)
{
    const LoadedSettings loaded = loadSettingsFile(file);
    return {whichSample(loaded.settings, killSampleSettings), loaded.notice.notice};
}

Loaded loadRecords(const fs::path& file)
{
    const LoadedRecords loaded = loadRecordsFile(file);
    return {whichSample(loaded.records, killSampleRecords), loaded.notice.notice};
}

void killRepeatedly(const fs::path& file, const char* kind, Loaded (*load)(const fs::path&))
{
    std::mt19937 random(20261208);
    int seen[2] = {0, 0};
    for (int kill = 0; kill < 150; ++kill) {
        ChildProcess child({{STORE_WRITE_LOOP, kind, file.string()}, {}, "", "", 30});
        ASSERT_TRUE(child.started());
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (child.errSoFar().find("writing") == std::string::npos && std::chrono::steady_clock::now() < limit) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        ASSERT_NE(child.errSoFar().find("writing"), std::string::npos) << "the loop never wrote";
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 10000));
        child.signal(SIGKILL);
        const ProcessResult result = child.finish();
        ASSERT_EQ(result.signal, SIGKILL) << result.err;

        const Loaded loaded = load(file);
        ASSERT_EQ(loaded.notice, "") << "after kill " << kill;
        ASSERT_NE(loaded.which, -1) << "after kill " << kill;
        ++seen[loaded.which];
    }
    // The kills fell on both contents, so they came at different moments.
    EXPECT_GT(seen[0], 10);
    EXPECT_GT(seen[1], 10);
}

TEST_F(KillDuringWrite, SettingsAlwaysLoadAsTheOldOrTheNewContent)
{
    ASSERT_EQ(saveSettingsFile(folder / settingsFileName, killSampleSettings(1)), "");
    killRepeatedly(folder / settingsFileName, "settings", loadSettings);
}

TEST_F(KillDuringWrite, RecordsAlwaysLoadAsTheOldOrTheNewContent)
{
    ASSERT_EQ(saveRecordsFile(folder / recordsFileName, killSampleRecords(1)), "");
    killRepeatedly(folder / recordsFileName, "records", loadRecords);
}

}  // namespace
