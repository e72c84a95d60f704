#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>
#include <filesystem>
#include <string>

#include "child_process.h"
#include "data_reader.h"

namespace {

const char* const dataFiles[] = {"earth3.bmp", "moon.bmp",  "particlecheaper4.bmp",
                                 "MyFont.bmp", "ship.bmp",  "pickup.wav",
                                 "thrust.wav", "MUSIC.wav", "ragdoll.rag"};

// The generator's exit code; its stderr is not looked at.
int runGenerator(const std::vector<std::string>& arguments)
{
    ProcessOptions o;
    o.args = {GLIMMERFALL_DATAGEN};
    o.args.insert(o.args.end(), arguments.begin(), arguments.end());
    return runProcess(o).exitCode;
}

}  // namespace

TEST(Generator, TwoRunsWriteIdenticalBytes)
{
    namespace fs = std::filesystem;
    const fs::path scratch =
        fs::temp_directory_path() / ("glimmerfall-datagen-test-" + std::to_string(getpid()));
    fs::remove_all(scratch);
    const fs::path first = scratch / "first";
    const fs::path second = scratch / "second";
    ASSERT_EQ(runGenerator({first.string()}), 0);
    ASSERT_EQ(runGenerator({second.string()}), 0);

    for (const char* name : dataFiles) {
        SCOPED_TRACE(name);
        const auto a = readBytes((first / name).string());
        const auto b = readBytes((second / name).string());
        ASSERT_FALSE(a.empty());
        EXPECT_TRUE(a == b);
        EXPECT_TRUE(a == readDataFile(name)) << "the build's data folder holds other bytes";
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(first), fs::directory_iterator()), 9);
    fs::remove_all(scratch);
}

TEST(Generator, RefusesToRunWithoutAnOutputFolder)
{
    EXPECT_NE(runGenerator({}), 0);
}
