// The game as a desktop installs it: cmake --install into a temporary prefix
// puts the program, its data, a menu entry, the AppStream metainfo, icons, the
// manual page and the copyright file in their usual places, and the installed
// program finds its data when started from any folder or given --data.
// The window tests run under xvfb-run; they close the game as a window
// manager would.
#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool, Status) would clash with it.
#include "game_run.h"
#include "child_process.h"
#include "data_folder.h"
#include "png_check.h"
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;


class Installed : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        prefix_ = new fs::path(fs::path(::testing::TempDir()) / ("install_" + std::to_string(getpid())));
        fs::remove_all(*prefix_);
        ProcessOptions o;
        o.args = {GLIMMERFALL_CMAKE, "--install", GLIMMERFALL_BUILD_DIR, "--prefix", prefix_->string()};
        o.errToOut = true;
        install_ = new ProcessResult(runProcess(o));
    }
    static void TearDownTestSuite()
    {
        fs::remove_all(*prefix_);
        delete prefix_;
        delete install_;
    }
    void SetUp() override
    {
        ASSERT_EQ(install_->exitCode, 0) << install_->out;
    }

    static const fs::path& prefix() { return *prefix_; }

private:
    static fs::path* prefix_;
    static ProcessResult* install_;
};

fs::path* Installed::prefix_ = nullptr;
ProcessResult* Installed::install_ = nullptr;

// ---- the icon: an RGBA PNG read back with the tests' PNG reader ------------

struct Icon {
    std::string error;
    int width = 0;
    int height = 0;
    DecodedPng png;
    const std::uint8_t* at(int x, int y) const { return png.pixel(x, y); }
};

Icon readIcon(const std::string& file)
{
    Icon icon;
    icon.png = decodePng(std::vector<std::uint8_t>(file.begin(), file.end()));
    icon.width = icon.png.width;
    icon.height = icon.png.height;
    if (!icon.png.ok) {
        icon.error = icon.png.error;
    } else if (icon.png.channels != 4) {
        icon.error = "not an 8-bit RGBA PNG";
    }
    return icon;
}

TEST_F(Installed, PutsTheGameItsDataAMenuEntryAndAnIconInTheUsualPlaces)
{
    const fs::path game = prefix() / "bin" / "glimmerfall";
    ASSERT_TRUE(fs::is_regular_file(game));
    EXPECT_NE(fs::status(game).permissions() & fs::perms::owner_exec, fs::perms::none);

    std::set<std::string> data;
    for (const auto& entry : fs::directory_iterator(prefix() / "share" / "glimmerfall" / "data")) {
        data.insert(entry.path().filename().string());
        EXPECT_EQ(readFile(entry.path()), readFile(dataFile(entry.path().filename()))) << entry.path();
    }
    EXPECT_EQ(data, listedDataFiles());

    // The desktop entry and the AppStream metainfo pass their validators.
    const fs::path desktop = prefix() / "share/applications/io.github.glimmerfall.Glimmerfall.desktop";
    const fs::path metainfo = prefix() / "share/metainfo/io.github.glimmerfall.Glimmerfall.metainfo.xml";
    const ProcessResult desktopCheck = runShell("desktop-file-validate '" + desktop.string() + "'");
    EXPECT_EQ(desktopCheck.exitCode, 0) << desktopCheck.out << desktopCheck.err;
    const ProcessResult metainfoCheck = runShell("appstreamcli validate --no-net '" + metainfo.string() + "'");
    EXPECT_EQ(metainfoCheck.exitCode, 0) << metainfoCheck.out << metainfoCheck.err;
    EXPECT_NE(readFile(metainfo).find("<release version=\"" GLIMMERFALL_VERSION "\""), std::string::npos);
    EXPECT_NE(readFile(desktop).find("\nIcon=glimmerfall\n"), std::string::npos);
    for (const char* file : {"share/icons/hicolor/scalable/apps/glimmerfall.svg", "share/man/man6/glimmerfall.6.gz",
                             "share/doc/glimmerfall/copyright", "share/doc/glimmerfall/changelog.gz"}) {
        EXPECT_TRUE(fs::is_regular_file(prefix() / file)) << file;
    }

    for (int size : {48, 128, 256}) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        const Icon other = readIcon(readFile(prefix() / "share/icons/hicolor" / folder / "apps/glimmerfall.png"));
        ASSERT_EQ(other.error, "") << size;
        EXPECT_EQ(other.width, size);
        EXPECT_EQ(other.height, size);
        EXPECT_EQ(other.at(0, 0)[3], 0);
        EXPECT_EQ(other.at(size / 2, size / 2)[3], 255);
    }
    const Icon icon = readIcon(readFile(prefix() / "share/icons/hicolor/64x64/apps/glimmerfall.png"));
    ASSERT_EQ(icon.error, "");
    EXPECT_EQ(icon.width, 64);
    EXPECT_EQ(icon.height, 64);
    // A globe on a transparent ground: clear corners, an opaque bluish middle,
    // and a warm ring reaching out beside it.
    for (const auto& [x, y] : {std::pair{0, 0}, {63, 0}, {0, 63}, {63, 63}}) {
        EXPECT_EQ(icon.at(x, y)[3], 0) << x << "," << y;
    }
    const std::uint8_t* middle = icon.at(32, 32);
    EXPECT_EQ(middle[3], 255);
    EXPECT_GT(middle[2] + middle[1], 2 * middle[0]);
    int warm = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const std::uint8_t* p = icon.at(x, y);
            warm += (p[3] > 128 && p[0] > 180 && p[1] > 140 && p[2] < 140) ? 1 : 0;
        }
    }
    EXPECT_GT(warm, 40);
}

class InstalledGame : public Installed {
protected:
    void SetUp() override
    {
        Installed::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        if (!haveDisplay()) {
            GTEST_SKIP() << "no X display (run under xvfb-run)";
        }
        // An unrelated folder to start from, holding nothing of the game's.
        elsewhere_ = fs::path(::testing::TempDir()) / ("install_elsewhere_" + std::to_string(getpid()));
        fs::remove_all(elsewhere_);
        fs::create_directories(elsewhere_);
    }
    void TearDown() override { fs::remove_all(elsewhere_); }

    fs::path elsewhere_;
};

TEST_F(InstalledGame, StartedFromAnUnrelatedFolderItFindsItsInstalledData)
{
    const GameRun run = runGameIn(prefix() / "bin" / "glimmerfall", elsewhere_);
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_FALSE(missesData(run.err)) << run.err;
}

TEST_F(InstalledGame, ADataFolderBesideTheProgramIsFoundAndOneThatIsNotThereIsNamed)
{
    const fs::path beside = elsewhere_ / "game";
    fs::create_directories(beside);
    fs::copy(prefix() / "bin" / "glimmerfall", beside / "glimmerfall");
    fs::copy(prefix() / "share" / "glimmerfall" / "data", beside / "data");
    GameRun run = runGameIn(beside / "glimmerfall", elsewhere_);
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_FALSE(missesData(run.err)) << run.err;

    // Without it, --data names the folder ahead of any search.
    fs::remove_all(beside / "data");
    run = runGameIn(beside / "glimmerfall", elsewhere_, {"--data", (prefix() / "share/glimmerfall/data").string()});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_FALSE(missesData(run.err)) << run.err;

    // Without either (and without an install at the configured prefix) the
    // game still starts, and names what it misses.
    if (fs::exists(fs::path(GLIMMERFALL_CONFIGURED_DATA_DIR) / dataFiles::earthImage)) {
        GTEST_SKIP() << "the game is installed at " << GLIMMERFALL_CONFIGURED_DATA_DIR;
    }
    run = runGameIn(beside / "glimmerfall", elsewhere_);
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.err.find(std::string("\"") + dataFiles::earthImage + "\" skipped"),
              std::string::npos)
        << run.err;
}

}  // namespace
