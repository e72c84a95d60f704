#pragma once

// The player's small INI files (settings, records): the text read with inih,
// and the rule for loading one. A missing file gives the defaults quietly; an
// unreadable or damaged one gives the defaults too, is moved aside for the
// player (settings.ini.damaged) and is named in one line on stderr. Loading
// never fails and never throws.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One "key = value" line; keys before the first [section] have section "".
struct IniEntry {
    std::string section;
    std::string key;
    std::string value;
    int line = 0;
};

// The longest file read: anything larger is damage, not settings.
inline constexpr std::size_t maxIniFileBytes = 64 * 1024;

// Reads every entry of `text`. Fails (an error text naming the line) on a
// syntax error, a line longer than inih takes, a NUL byte, or a key given
// twice in one section.
std::optional<std::vector<IniEntry>> parseIni(std::string_view text, std::string& error);

// The entry for `key` in `section`, or null.
const IniEntry* findEntry(const std::vector<IniEntry>& entries, std::string_view section, std::string_view key);

// parseIni, and then the file's "version" (before any section) must be
// `version`.
std::optional<std::vector<IniEntry>> parseVersionedIni(std::string_view text, int version, std::string& error);

// A whole number from `min` to `max` written in decimal and nothing else.
std::optional<std::int64_t> readInteger(std::string_view value, std::int64_t min, std::int64_t max);

// on/off, also true/false, yes/no and 1/0, in any case.
std::optional<bool> readSwitch(std::string_view value);

// "line 4: <what>"
std::string lineError(const IniEntry& entry, const std::string& what);

// What loading a player's file gave: `notice` is the line printed on stderr,
// empty when the file was missing or sound.
struct LoadNotice {
    std::string notice;
    std::filesystem::path movedTo;
};

// Loads `file` with `parse`, which reads the text and returns an error text
// on damage; the caller keeps its defaults unless the parse succeeds.
// `fallback` says what the game does instead, e.g. "using the default
// settings".
LoadNotice loadPlayerFile(const std::filesystem::path& file, const std::function<std::string(std::string_view)>& parse,
                          std::string_view fallback);

// The same for a file of `Values` read by `parse`: `values` are replaced only
// by a whole, undamaged file.
template <typename Values>
LoadNotice loadPlayerValues(const std::filesystem::path& file, std::string (*parse)(std::string_view, Values&),
                            Values& values, std::string_view fallback)
{
    return loadPlayerFile(
        file,
        [&](std::string_view text) {
            Values parsed;
            std::string error = parse(text, parsed);
            if (error.empty()) values = parsed;
            return error;
        },
        fallback);
}
