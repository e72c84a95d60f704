#include <gtest/gtest.h>

#include "scratch_folder.h"
#include "store/records_file.h"
#include "store/settings_file.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using SettingsFile = ScratchFolder;
using RecordsFile = ScratchFolder;

TEST_F(SettingsFile, RoundTripsAndReadsWhatAPlayerMightWrite)
{
    const fs::path file = folder / "glimmerfall" / settingsFileName;
    LoadedSettings loaded = loadSettingsFile(file);
    EXPECT_EQ(loaded.settings, Settings{});
    EXPECT_EQ(loaded.notice.notice, "");

    for (const Settings& s : {Settings{0, false, true, WindowSize{1280, 800}}, Settings{7, true, false, {}},
                              Settings{10, false, false, WindowSize{64, 16384}}}) {
        ASSERT_EQ(saveSettingsFile(file, s), "");
        loaded = loadSettingsFile(file);
        EXPECT_EQ(loaded.settings, s) << slurp(file);
        EXPECT_EQ(loaded.notice.notice, "");
    }

    // Missing keys keep their defaults, unknown ones are ignored, switches
    // take several spellings, and comments and spaces are the reader's.
    Settings s;
    EXPECT_EQ(parseSettings("\xEF\xBB\xBFversion = 1\n[sound]\r\nmusic=OFF ; quiet\nreverb = 3\n[window]\n"
                            "fullscreen: Yes\n[later]\nthing = 1\n",
                            s),
              "");
    EXPECT_EQ(s, (Settings{10, false, true, {}}));
}

TEST_F(SettingsFile, DamagedFilesGiveDefaultsOneLineAndAreKept)
{
    const fs::path file = folder / settingsFileName;
    const std::pair<std::string, const char*> cases[] = {
        {"", "no format version"},
        {"[sound]\nvolume = 3\n", "no format version"},
        {"version = 2\n", "line 1: format version '2' is not one this game reads (1)"},
        {"version = 1\n[sound]\nvolume = 11\n", "line 3: volume '11' is not a whole number from 0 to 10"},
        {"version = 1\n[sound]\nvolume = 5.5\n", "line 3: volume '5.5'"},
        {"version = 1\n[sound]\nvolume = +5\n", "line 3: volume '+5'"},
        {"version = 1\n[sound]\nmusic = loud\n", "line 3: music 'loud' is neither on nor off"},
        {"version = 1\n[window]\nheight = 600\n", "line 3: the window's width and height come together"},
        {"version = 1\n[window]\nwidth = 99999999999999999999\nheight = 600\n", "line 3: window width"},
        {"version = 1\n[window]\nwidth = 800\nheight = 63\n", "line 4: window height '63'"},
        {"version = 1\n[sound\nvolume = 3\n", "line 2 is neither a [section] nor a key = value"},
        {"version = 1\nvolume\n[sound]\nvolume = 3\nvolume = 4\n", "line 2 is neither"},
        {"version = 1\n[sound]\nvolume = 3\nvolume = 4\n", "line 4: volume is given twice in [sound]"},
        {"version = 1\n[sound]\nvolume = 3\n  4\n", "line 4: volume is given twice"},
        {"version = 1\n[sound]\nvolume = 3\0\n"s, "line 3 holds a NUL byte"},
        {"version = 1\n; \n[sound]\nmusic = off\n", nullptr},
    };
    int kept = 0;
    for (const auto& [text, problem] : cases) {
        spill(file, text);
        testing::internal::CaptureStderr();
        const LoadedSettings loaded = loadSettingsFile(file);
        const std::string err = testing::internal::GetCapturedStderr();
        if (problem == nullptr) {
            EXPECT_EQ(err, "");
            EXPECT_FALSE(loaded.settings.music);
            continue;
        }
        ++kept;
        const std::string aside = file.string() + (kept == 1 ? ".damaged" : ".damaged-" + std::to_string(kept));
        EXPECT_EQ(loaded.settings, Settings{}) << text;
        EXPECT_EQ(loaded.notice.movedTo, fs::path(aside));
        EXPECT_EQ(err, loaded.notice.notice + "\n");
        EXPECT_EQ(err.rfind("glimmerfall: " + file.string() + ": " + problem, 0), 0u) << err;
        EXPECT_NE(err.find("; using the default settings, the file is kept as " + aside + "\n"), std::string::npos)
            << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
        EXPECT_FALSE(fs::exists(file));
        EXPECT_EQ(slurp(aside), text);
    }

    // A line longer than inih takes is refused, not cut into two entries.
    spill(file, "version = 1\n[sound]\nvolume = 3" + std::string(300, ' ') + "\n");
    testing::internal::CaptureStderr();
    EXPECT_NE(loadSettingsFile(file).notice.notice.find("line 3 is longer than 198 characters"), std::string::npos);
    testing::internal::GetCapturedStderr();

    // Unreadable: a folder where the file should be.
    fs::create_directory(file);
    testing::internal::CaptureStderr();
    const LoadedSettings unreadable = loadSettingsFile(file);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("not a regular file; using the default settings"),
              std::string::npos);
    EXPECT_EQ(unreadable.settings, Settings{});
    EXPECT_TRUE(fs::is_directory(unreadable.notice.movedTo));
}

TEST_F(RecordsFile, KeepsTheBestPerLevelAndGame)
{
    Records r;
    EXPECT_TRUE(recordLevelBonus(r, 3, 0, 0));
    EXPECT_FALSE(recordLevelBonus(r, 3, 0, 5));  // a tie keeps the first
    EXPECT_TRUE(recordLevelBonus(r, 3, 40, 1700000000));
    EXPECT_FALSE(recordLevelBonus(r, 3, 39, 1800000000));
    EXPECT_FALSE(recordLevelBonus(r, 0, 50, 1));
    EXPECT_FALSE(recordLevelBonus(r, 10, 50, 1));
    EXPECT_FALSE(recordLevelBonus(r, 1, -1, 1));
    EXPECT_TRUE(recordLevelBonus(r, 9, Record::maxScore, Record::maxDate));
    EXPECT_TRUE(recordGameScore(r, 1234, 1700000001));
    EXPECT_FALSE(recordGameScore(r, 1000, 1700000002));
    EXPECT_EQ(r.levels[2], (Record{40, 1700000000}));
    EXPECT_EQ(r.levels[8], (Record{Record::maxScore, Record::maxDate}));
    EXPECT_FALSE(r.levels[0]);
    EXPECT_EQ(r.game, (Record{1234, 1700000001}));

    const fs::path file = folder / "data" / recordsFileName;
    EXPECT_EQ(loadRecordsFile(file).records, Records{});
    ASSERT_EQ(saveRecordsFile(file, r), "");
    EXPECT_EQ(loadRecordsFile(file).records, r) << slurp(file);
    ASSERT_EQ(saveRecordsFile(file, Records{}), "");
    EXPECT_EQ(loadRecordsFile(file).records, Records{});

    for (const auto& [text, problem] :
         {std::pair{"version = 1\n[level 2]\nbonus = 5\n", "line 3: [level 2] needs both a bonus and a date"},
          std::pair{"version = 1\n[game]\nscore = 5\ndate = -1\n", "line 4: date '-1' is not a count of seconds"},
          std::pair{"version = 1\n[level 9]\nbonus = 2147483648\ndate = 0\n", "line 3: bonus '2147483648'"},
          std::pair{"version = 0\n", "line 1: format version '0'"}}) {
        spill(file, text);
        testing::internal::CaptureStderr();
        const LoadedRecords loaded = loadRecordsFile(file);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(loaded.records, Records{});
        EXPECT_EQ(err.rfind("glimmerfall: " + file.string() + ": " + problem, 0), 0u) << err;
        EXPECT_NE(err.find("; starting with no records, the file is kept as "), std::string::npos) << err;
    }
}

}  // namespace
