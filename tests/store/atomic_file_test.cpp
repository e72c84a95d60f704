#include "store/atomic_file.h"

#include <gtest/gtest.h>

#include <chrono>

#include "scratch_folder.h"
#include "store/user_folders.h"

namespace {

namespace fs = std::filesystem;
using AtomicFile = ScratchFolder;

TEST(UserFolders, FollowTheXdgRulesAndWindowsFolders)
{
    // Paths written in POSIX form, made absolute on this platform too (a
    // drive before the root under Windows).
    const std::string drive = fs::current_path().root_name().string();
    const auto at = [&drive](const char* p) { return fs::path(p[0] == '/' ? drive + p : std::string(p)); };
    struct Case {
        Platform platform;
        const char* folders[5];  // XDG config, XDG data, home, AppData, LocalAppData
        const char* config;
        const char* data;
    };
    const Case cases[] = {
        {Platform::gnuLinux, {"/x/cfg", "/x/dat", "/home/p", "", ""}, "/x/cfg/glimmerfall", "/x/dat/glimmerfall"},
        {Platform::gnuLinux, {"", "", "/home/p", "", ""}, "/home/p/.config/glimmerfall",
         "/home/p/.local/share/glimmerfall"},
        // Relative XDG values are ignored, as the XDG rules say.
        {Platform::gnuLinux, {"cfg", "./dat", "/home/p", "", ""}, "/home/p/.config/glimmerfall",
         "/home/p/.local/share/glimmerfall"},
        {Platform::gnuLinux, {"", "", "", "", ""}, "", ""},
        {Platform::gnuLinux, {"", "", "home", "", ""}, "", ""},
        {Platform::gnuLinux, {"/x/cfg", "", "", "/a", "/l"}, "/x/cfg/glimmerfall", ""},
        // Windows looks at its own folders only.
        {Platform::windows, {"/x/cfg", "/x/dat", "/home/p", "/a/Roaming", "/a/Local"}, "/a/Roaming/Glimmerfall",
         "/a/Local/Glimmerfall"},
        {Platform::windows, {"/x/cfg", "/x/dat", "/home/p", "", ""}, "", ""},
    };
    for (const Case& c : cases) {
        const FolderEnvironment env{c.platform, at(c.folders[0]), at(c.folders[1]), at(c.folders[2]),
                                    at(c.folders[3]), at(c.folders[4])};
        EXPECT_EQ(configFolder(env), at(c.config)) << c.config;
        EXPECT_EQ(dataFolder(env), at(c.data)) << c.data;
    }

    // The process's own environment: each platform reads its own variables.
    setEnvironment("XDG_CONFIG_HOME", "/from/env");
    setEnvironment("HOME", "/home/someone");
    setEnvironment("XDG_DATA_HOME", nullptr);
    setEnvironment("APPDATA", "C:\\Users\\someone\\AppData\\Roaming");
    setEnvironment("LOCALAPPDATA", nullptr);
    const FolderEnvironment env = processEnvironment();
    if (env.platform == Platform::windows) {
        EXPECT_EQ(configFolder(env), fs::path("C:\\Users\\someone\\AppData\\Roaming\\Glimmerfall"));
        EXPECT_EQ(dataFolder(env), fs::path());
    } else {
        EXPECT_EQ(env.platform, Platform::gnuLinux);
        EXPECT_EQ(configFolder(env), fs::path("/from/env/glimmerfall"));
        EXPECT_EQ(dataFolder(env), fs::path("/home/someone/.local/share/glimmerfall"));
    }
}

TEST_F(AtomicFile, WritesThroughMissingFoldersReplacesAndLeavesNoTemporaryFile)
{
    const fs::path file = folder / "a" / "b" / "settings.ini";
    EXPECT_EQ(writeFileAtomically(file, "first"), "");
    EXPECT_EQ(slurp(file), "first");
    EXPECT_EQ(writeFileAtomically(file, std::string(100000, 'x')), "");
    EXPECT_EQ(slurp(file), std::string(100000, 'x'));
    EXPECT_EQ(writeFileAtomically(file, ""), "");
    EXPECT_EQ(fs::file_size(file), 0u);
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);

    // A file the player keeps elsewhere through a link stays linked (where
    // links can be made: not under Wine).
    spill(folder / "kept.ini", "old");
    std::error_code linkError;
    fs::create_symlink(folder / "kept.ini", folder / "linked.ini", linkError);
    if (!linkError) {
        EXPECT_EQ(writeFileAtomically(folder / "linked.ini", "new"), "");
        EXPECT_TRUE(fs::is_symlink(folder / "linked.ini"));
        EXPECT_EQ(slurp(folder / "kept.ini"), "new");
    } else {
        EXPECT_EQ(thisPlatform(), Platform::windows) << linkError.message();
    }
}

TEST_F(AtomicFile, UnfinishedWritesLeaveTheOldFile)
{
    const fs::path file = folder / "records.ini";
    spill(file, "old");
    {
        AtomicFileWriter writer;
        ASSERT_EQ(writer.open(file), "");
        ASSERT_EQ(writer.append("new and longer"), "");
        EXPECT_EQ(listing().find(".records.ini."), 0u) << listing();
    }
    EXPECT_EQ(slurp(file), "old");
    EXPECT_EQ(listing(), "records.ini");

    AtomicFileWriter writer;
    EXPECT_NE(writer.append("x"), "");
    EXPECT_NE(writer.commit(), "");
    ASSERT_EQ(writer.open(file), "");
    writer.abandon();
    EXPECT_FALSE(writer.isOpen());
    EXPECT_EQ(listing(), "records.ini");

    // Leftovers of a killed write: removed once they are old enough.
    spill(folder / ".records.ini.0123456789abcdef.tmp", "cut");
    spill(folder / ".records.ini.fedcba9876543210.tmp", "cut");
    fs::last_write_time(folder / ".records.ini.0123456789abcdef.tmp",
                        fs::file_time_type::clock::now() - std::chrono::hours(1));
    EXPECT_EQ(writeFileAtomically(file, "new"), "");
    EXPECT_EQ(listing(), ".records.ini.fedcba9876543210.tmp records.ini");
}

// Root may write anywhere, so the folders that cannot be written are ones
// that cannot exist: below a regular file, and a target that is a folder.
TEST_F(AtomicFile, AFolderThatCannotBeWrittenGivesAClearError)
{
    spill(folder / "plain", "a file");
    const std::string below = writeFileAtomically(folder / "plain" / "glimmerfall" / "settings.ini", "x");
    EXPECT_NE(below.find("cannot make the folder"), std::string::npos) << below;
    EXPECT_NE(below.find(displayPath(fs::path("plain") / "glimmerfall")), std::string::npos) << below;

    fs::create_directory(folder / "settings.ini");
    const std::string onFolder = writeFileAtomically(folder / "settings.ini", "x");
    EXPECT_EQ(onFolder.rfind("cannot write " + (folder / "settings.ini").string() + ": ", 0), 0u) << onFolder;
    EXPECT_EQ(listing(), "plain settings.ini");
}

TEST_F(AtomicFile, ReadsSmallFilesOnlyAndMovesDamagedOnesAsideWithNumbers)
{
    const fs::path file = folder / "settings.ini";
    EXPECT_FALSE(readSmallFile(file, 10).exists);
    spill(file, "0123456789");
    EXPECT_EQ(readSmallFile(file, 10).bytes, "0123456789");
    const SmallFile tooLong = readSmallFile(file, 9);
    EXPECT_TRUE(tooLong.exists);
    EXPECT_EQ(tooLong.bytes, "");
    EXPECT_NE(tooLong.error.find("longer than 9 bytes"), std::string::npos);
    EXPECT_NE(readSmallFile(folder, 10).error, "");

    std::string error;
    EXPECT_EQ(moveAside(file, error), fs::path(folder / "settings.ini.damaged"));
    spill(file, "again");
    EXPECT_EQ(moveAside(file, error), fs::path(folder / "settings.ini.damaged-2"));
    EXPECT_EQ(slurp(folder / "settings.ini.damaged-2"), "again");
    EXPECT_EQ(moveAside(file, error), fs::path());
    EXPECT_NE(error.find("cannot move"), std::string::npos);
}

}  // namespace
