#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "child_process.h"
#include "data_files.h"
#include "data_reader.h"

namespace {

// The generator's exit code; its stderr is not looked at.
int runGenerator(const std::vector<std::string>& arguments)
{
    ProcessOptions o;
    o.args = {GLIMMERFALL_DATAGEN};
    o.args.insert(o.args.end(), arguments.begin(), arguments.end());
    return runProcess(o).exitCode;
}

}  // namespace

TEST(Generator, TwoRunsWriteExactlyTheListedFilesWithIdenticalBytes)
{
    namespace fs = std::filesystem;
    const fs::path scratch =
        fs::temp_directory_path() / ("glimmerfall-datagen-test-" + std::to_string(getpid()));
    fs::remove_all(scratch);
    const fs::path first = scratch / "first";
    const fs::path second = scratch / "second";
    ASSERT_EQ(runGenerator({first.string()}), 0);
    ASSERT_EQ(runGenerator({second.string()}), 0);

    for (const DataFile& file : dataFiles::all) {
        SCOPED_TRACE(file.fileName);
        const auto a = readBytes((first / file.fileName).string());
        const auto b = readBytes((second / file.fileName).string());
        ASSERT_FALSE(a.empty());
        EXPECT_TRUE(a == b);
        EXPECT_TRUE(a == readDataFile(file.fileName))
            << "the build's data folder holds other bytes";
    }
    // Exactly the listed files: nothing the list does not name.
    std::set<std::string> written;
    for (const fs::directory_entry& entry : fs::directory_iterator(first)) {
        written.insert(entry.path().filename().string());
    }
    EXPECT_EQ(written, listedDataFiles());
    fs::remove_all(scratch);
}

TEST(Generator, RefusesToRunWithoutAnOutputFolder)
{
    EXPECT_NE(runGenerator({}), 0);
}
