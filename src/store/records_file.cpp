#include "store/records_file.h"

#include "store/atomic_file.h"

namespace {

bool improve(std::optional<Record>& best, std::int64_t score, std::int64_t date)
{
    if (score < 0 || score > Record::maxScore || (best && best->score >= score)) {
        return false;
    }
    best = Record{score, date};
    return true;
}

std::string levelSection(int level)
{
    return "level " + std::to_string(level);
}

// The record in `section` (its score under `scoreKey`), if there is one.
std::string readRecord(const std::vector<IniEntry>& entries, const std::string& section, const char* scoreKey,
                       std::optional<Record>& record)
{
    const IniEntry* score = findEntry(entries, section, scoreKey);
    const IniEntry* date = findEntry(entries, section, "date");
    if (score == nullptr && date == nullptr) {
        return {};
    }
    if (score == nullptr || date == nullptr) {
        return lineError(score != nullptr ? *score : *date,
                         "[" + section + "] needs both a " + scoreKey + " and a date");
    }
    const auto points = readInteger(score->value, 0, Record::maxScore);
    if (!points) {
        return lineError(*score, std::string(scoreKey) + " '" + score->value + "' is not a whole number from 0 to " +
                                     std::to_string(Record::maxScore));
    }
    const auto when = readInteger(date->value, 0, Record::maxDate);
    if (!when) {
        return lineError(*date, "date '" + date->value + "' is not a count of seconds from 0 to " +
                                    std::to_string(Record::maxDate));
    }
    record = Record{*points, *when};
    return {};
}

std::string formatRecord(const std::string& section, const char* scoreKey, const std::optional<Record>& record)
{
    if (!record) {
        return {};
    }
    return "\n[" + section + "]\n" + scoreKey + " = " + std::to_string(record->score) +
           "\ndate = " + std::to_string(record->date) + "\n";
}

}  // namespace

bool recordLevelBonus(Records& records, int level, std::int64_t bonus, std::int64_t date)
{
    if (level < 1 || level > recordLevelCount) {
        return false;
    }
    return improve(records.levels[static_cast<std::size_t>(level - 1)], bonus, date);
}

bool recordGameScore(Records& records, std::int64_t score, std::int64_t date)
{
    return improve(records.game, score, date);
}

std::string parseRecords(std::string_view text, Records& records)
{
    std::string error;
    const auto entries = parseVersionedIni(text, recordsFormatVersion, error);
    if (!entries) {
        return error;
    }
    if (error = readRecord(*entries, "game", "score", records.game); !error.empty()) {
        return error;
    }
    for (int level = 1; level <= recordLevelCount && error.empty(); ++level) {
        error = readRecord(*entries, levelSection(level), "bonus", records.levels[static_cast<std::size_t>(level - 1)]);
    }
    return error;
}

std::string formatRecords(const Records& records)
{
    std::string text = "; Glimmerfall's best scores, written by the game. Dates are seconds since 1970.\nversion = " +
                       std::to_string(recordsFormatVersion) + "\n" + formatRecord("game", "score", records.game);
    for (int level = 1; level <= recordLevelCount; ++level) {
        text += formatRecord(levelSection(level), "bonus", records.levels[static_cast<std::size_t>(level - 1)]);
    }
    return text;
}

LoadedRecords loadRecordsFile(const std::filesystem::path& file)
{
    LoadedRecords loaded;
    loaded.notice = loadPlayerValues(file, parseRecords, loaded.records, "starting with no records");
    return loaded;
}

std::string saveRecordsFile(const std::filesystem::path& file, const Records& records)
{
    return writeFileAtomically(file, formatRecords(records));
}
