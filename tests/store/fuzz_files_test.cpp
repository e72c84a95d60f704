// The fuzzers' seeds are all read; the hostile files they keep as
// regressions are all refused, with a reason and without a crash.
#include <gtest/gtest.h>

#include "scratch_folder.h"
#include "store/records_file.h"
#include "store/replay_file.h"
#include "store/settings_file.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::pair<fs::path, std::string>> filesIn(const fs::path& folder)
{
    std::vector<std::pair<fs::path, std::string>> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        files.emplace_back(entry.path(), std::string{std::istreambuf_iterator<char>(in), {}});
    }
    return files;
}

TEST(StoreFuzzFiles, SeedsAreReadAndRegressionsRefused)
{
    int read = 0;
    for (const auto& [path, text] : filesIn(fs::path(INI_FUZZ_DIR) / "corpus")) {
        Settings s;
        Records r;
        EXPECT_TRUE(parseSettings(text, s).empty() || parseRecords(text, r).empty()) << path;
        ++read;
    }
    for (const auto& [path, text] : filesIn(fs::path(INI_FUZZ_DIR) / "regressions")) {
        Settings s;
        Records r;
        EXPECT_NE(parseSettings(text, s), "") << path;
        EXPECT_NE(parseRecords(text, r), "") << path;
        ++read;
    }
    for (const auto& [path, bytes] : filesIn(fs::path(REPLAY_FUZZ_DIR) / "corpus")) {
        ReplayReader reader;
        EXPECT_EQ(reader.openBytes(bytes), ReplayRefusal::none) << path << ": " << reader.error();
        ++read;
    }
    for (const auto& [path, bytes] : filesIn(fs::path(REPLAY_FUZZ_DIR) / "regressions")) {
        ReplayReader reader;
        EXPECT_NE(reader.openBytes(bytes), ReplayRefusal::none) << path;
        EXPECT_NE(reader.error(), "") << path;
        ++read;
    }
    EXPECT_GE(read, 16);
}

}  // namespace
