// The Debian package made by scripts/package (the package_build test runs it
// first): its fields and contents, lintian, the validators on its desktop
// files, a simulated apt-get install, and the game unpacked with dpkg -x
// starting under the virtual X server and finding its data.
#include <gtest/gtest.h>
// After gtest: Xlib's macros would clash with it.
#include "game_run.h"
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

// Runs a shell command; its stdout and stderr, and its exit status.
struct Output {
    int status = -1;
    std::string text;
};

Output run(const std::string& command)
{
    Output out;
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (p == nullptr) {
        return out;
    }
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, p)) > 0;) {
        out.text.append(buffer, n);
    }
    const int status = pclose(p);
    out.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
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
        arch_ = new std::string(trimmed(run("dpkg --print-architecture").text));
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
        return trimmed(run("dpkg-deb -f '" + deb_->string() + "' " + name).text);
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
    std::istringstream listing(run("dpkg-deb -c '" + deb().string() + "'").text);
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
    for (const char* data : {"earth3.bmp", "moon.bmp", "particlecheaper4.bmp", "MyFont.bmp", "ship.bmp", "pickup.wav",
                             "thrust.wav", "MUSIC.wav", "ragdoll.rag"}) {
        expected.insert(std::string("/usr/share/glimmerfall/data/") + data);
    }
    EXPECT_EQ(files, expected);
}

TEST_F(DebianPackage, LintianFindsNoErrorAndAptCouldInstallIt)
{
    // Warnings are allowed (and shown); errors are not.
    const Output lintian = run("lintian --fail-on error --tag-display-limit 0 '" + deb().string() + "'");
    EXPECT_EQ(lintian.status, 0) << lintian.text;
    std::cout << "lintian:\n" << lintian.text;

    // What apt-get install would do, without changing this machine.
    const Output apt = run("apt-get install --simulate --no-download '" + fs::absolute(deb()).string() + "'");
    EXPECT_EQ(apt.status, 0) << apt.text;
    EXPECT_NE(apt.text.find("Inst glimmerfall "), std::string::npos) << apt.text;
}

TEST_F(DebianPackage, UnpackedTheGameStartsFromAnyFolderAndFindsItsData)
{
    const fs::path root = fs::path(::testing::TempDir()) / ("package_root_" + std::to_string(getpid()));
    fs::remove_all(root);
    ASSERT_EQ(run("dpkg -x '" + deb().string() + "' '" + root.string() + "'").status, 0);
    const fs::path game = root / "usr/games/glimmerfall";

    const Output desktop =
        run("desktop-file-validate '" + (root / "usr/share/applications").string() + "'/*.desktop");
    EXPECT_EQ(desktop.status, 0) << desktop.text;
    const Output metainfo = run("appstreamcli validate --no-net '" + (root / "usr/share/metainfo").string() + "'/*.xml");
    EXPECT_EQ(metainfo.status, 0) << metainfo.text;
    const Output version = run("'" + game.string() + "' --version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.text, "glimmerfall " GLIMMERFALL_VERSION "\n");

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
