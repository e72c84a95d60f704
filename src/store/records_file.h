#pragma once

// The player's best scores, kept in records.ini in the data folder
// (user_folders.h): for each level the best bonus, and the best whole-game
// score, each with the date it was made (seconds since 1970; 0 where no clock
// was read). The file is INI text:
//
//   version = 1
//   [game]
//   score = 1234
//   date = 1767225600
//   [level 1]
//   bonus = 121
//   date = 1767225600
//
// A level without a record has no section. Unknown keys and sections are
// ignored as in settings_file.h; a new format version counts as damage.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "store/ini_file.h"

inline constexpr int recordsFormatVersion = 1;
inline constexpr const char* recordsFileName = "records.ini";
inline constexpr int recordLevelCount = 9;

struct Record {
    static constexpr std::int64_t maxScore = 2147483647;
    static constexpr std::int64_t maxDate = 253402300799;  // the last second of 9999

    std::int64_t score = 0;  // the bonus of a level, the score of a game
    std::int64_t date = 0;
    bool operator==(const Record&) const = default;
};

struct Records {
    std::array<std::optional<Record>, recordLevelCount> levels;  // levels[0] is level 1
    std::optional<Record> game;
    bool operator==(const Records&) const = default;
};

// A completed level's bonus: true when it is the level's new best (higher
// than the old one, or the first), which is then kept with its date. A level
// outside 1…9 or a score outside 0…maxScore changes nothing and is no best.
bool recordLevelBonus(Records& records, int level, std::int64_t bonus, std::int64_t date);

// A finished game's score, as above.
bool recordGameScore(Records& records, std::int64_t score, std::int64_t date);

// Reads records text into `records`. Empty on success, else what is wrong.
std::string parseRecords(std::string_view text, Records& records);

// The text of the file for `records`.
std::string formatRecords(const Records& records);

struct LoadedRecords {
    Records records;
    LoadNotice notice;
};

// The records in `file`: none when it is missing, unreadable or damaged.
LoadedRecords loadRecordsFile(const std::filesystem::path& file);

// Writes `records` to `file` atomically. Empty on success, else why not.
[[nodiscard]] std::string saveRecordsFile(const std::filesystem::path& file, const Records& records);
