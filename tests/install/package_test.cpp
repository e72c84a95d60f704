// The Debian package made by scripts/package (the package_build test runs it
// first): its fields and contents, lintian, the validators on its desktop
// files, a simulated apt-get install, and the game unpacked with dpkg -x
// starting under the virtual X server and finding its data.
#include <gtest/gtest.h>
// After gtest: Xlib's macros would clash with it.
#include "game_run.h"
#include "child_process.h"
#include "data_folder.h"
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// A shell command's stdout and stderr together, and its exit code.
ProcessResult run(const std::string& command)
{
    ProcessOptions o;
    o.errToOut = true;
    return runShell(command, o);
}

std::string trimmed(std::string s)
{
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) {
        s.pop_back();
    }
    return s;
}

class DebianPackage : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        arch_ = new std::string(trimmed(run("dpkg --print-architecture").out));
        deb_ = new fs::path(fs::path(GLIMMERFALL_PACKAGE_BUILD_DIR) /
                            ("glimmerfall_" GLIMMERFALL_VERSION "_" + *arch_ + ".deb"));
    }
    static void TearDownTestSuite()
    {
        delete deb_;
        delete arch_;
    }
    void SetUp() override { ASSERT_TRUE(fs::is_regular_file(*deb_)) << *deb_ << " (run scripts/package)"; }

    static std::string field(const std::string& name)
    {
        return trimmed(run("dpkg-deb -f '" + deb_->string() + "' " + name).out);
    }
    static const fs::path& deb() { return *deb_; }

private:
    static fs::path* deb_;
    static std::string* arch_;
};

fs::path* DebianPackage::deb_ = nullptr;
std::string* DebianPackage::arch_ = nullptr;

TEST_F(DebianPackage, FieldsAndContentsAreThoseOfADesktopGame)
{
    EXPECT_EQ(field("Package"), "glimmerfall");
    EXPECT_EQ(field("Version"), GLIMMERFALL_VERSION);
    EXPECT_EQ(field("Section"), "games");
    // Computed by dpkg-shlibdeps from what the program links against.
    const std::string depends = field("Depends");
    for (const char* library : {"libc6 (>=", "libsdl2-2.0-0 (>=", "libopenal1 (>=", "libstdc++6 (>="}) {
        EXPECT_NE(depends.find(library), std::string::npos) << library << " not in " << depends;
    }
    EXPECT_TRUE(depends.find("libopengl0") != std::string::npos || depends.find("libgl1") != std::string::npos)
        << depends;

    std::set<std::string> files;
    std::istringstream listing(run("dpkg-deb -c '" + deb().string() + "'").out);
    for (std::string line; std::getline(listing, line);) {
        const std::string path = line.substr(line.find(" ./") + 2);
        if (path.back() != '/') {
            files.insert(path);
            EXPECT_NE(line.find(" root/root "), std::string::npos) << line;
        }
    }
    std::set<std::string> expected = {
        "/usr/games/glimmerfall",
        "/usr/share/applications/io.github.glimmerfall.Glimmerfall.desktop",
        "/usr/share/metainfo/io.github.glimmerfall.Glimmerfall.metainfo.xml",
        "/usr/share/icons/hicolor/scalable/apps/glimmerfall.svg",
        "/usr/share/man/man6/glimmerfall.6.gz",
        "/usr/share/doc/glimmerfall/copyright",
        "/usr/share/doc/glimmerfall/changelog.gz",
    };
    for (const char* size : {"48", "64", "128", "256"}) {
        expected.insert(std::string("/usr/share/icons/hicolor/") + size + "x" + size + "/apps/glimmerfall.png");
    }
    for (const std::string& data : listedDataFiles()) {
        expected.insert("/usr/share/glimmerfall/data/" + data);
    }
    EXPECT_EQ(files, expected);
}

TEST_F(DebianPackage, LintianFindsNoErrorAndAptCouldInstallIt)
{
    // Warnings are allowed (and shown); errors are not.
    const ProcessResult lintian = run("lintian --fail-on error --tag-display-limit 0 '" + deb().string() + "'");
    EXPECT_EQ(lintian.exitCode, 0) << lintian.out;
    std::cout << "lintian:\n" << lintian.out;

    // What apt-get install would do, without changing this machine.
    const ProcessResult apt = run("apt-get install --simulate --no-download '" + fs::absolute(deb()).string() + "'");
    EXPECT_EQ(apt.exitCode, 0) << apt.out;
    EXPECT_NE(apt.out.find("Inst glimmerfall "), std::string::npos) << apt.out;
}

TEST_F(DebianPackage, UnpackedTheGameStartsFromAnyFolderAndFindsItsData)
{
    const fs::path root = fs::path(::testing::TempDir()) / ("package_root_" + std::to_string(getpid()));
    fs::remove_all(root);
    ASSERT_EQ(run("dpkg -x '" + deb().string() + "' '" + root.string() + "'").exitCode, 0);
    const fs::path game = root / "usr/games/glimmerfall";

    const ProcessResult desktop =
        run("desktop-file-validate '" + (root / "usr/share/applications").string() + "'/*.desktop");
    EXPECT_EQ(desktop.exitCode, 0) << desktop.out;
    const ProcessResult metainfo = run("appstreamcli validate --no-net '" + (root / "usr/share/metainfo").string() + "'/*.xml");
    EXPECT_EQ(metainfo.exitCode, 0) << metainfo.out;
    const ProcessResult version = run("'" + game.string() + "' --version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "glimmerfall " GLIMMERFALL_VERSION "\n");

    if (!haveDisplay()) {
        fs::remove_all(root);
        GTEST_SKIP() << "no X display (run under xvfb-run)";
    }
    const GameRun started = runGameIn(game, "/");
    EXPECT_EQ(started.exitCode, 1) << started.err;
    EXPECT_FALSE(missesData(started.err)) << started.err;
    EXPECT_GT(started.windowWidth, 0);
    fs::remove_all(root);
}

}  // namespace
