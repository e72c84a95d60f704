#include "store/ini_file.h"

#include <ini.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <set>
#include <utility>

#include "store/atomic_file.h"

namespace {

// The text fed to inih line by line, in the manner of fgets, so that the
// line number of every entry is known and overlong lines and NUL bytes are
// refused instead of being cut into pieces.
struct Feed {
    std::string_view rest;
    int line = 0;
    std::string error;
    int errorLine = 0;
    std::vector<IniEntry> entries;
    std::set<std::pair<std::string, std::string>> seen;
};

char* nextLine(char* out, int room, void* stream)
{
    Feed& feed = *static_cast<Feed*>(stream);
    if (feed.rest.empty() || !feed.error.empty()) {
        return nullptr;
    }
    ++feed.line;
    const std::size_t end = std::min(feed.rest.find('\n'), feed.rest.size() - 1);
    const std::string_view line = feed.rest.substr(0, end + 1);
    if (line.size() >= static_cast<std::size_t>(room)) {
        feed.error = "line " + std::to_string(feed.line) + " is longer than " + std::to_string(room - 2) +
                     " characters";
        feed.errorLine = feed.line;
        return nullptr;
    }
    if (line.find('\0') != std::string_view::npos) {
        feed.error = "line " + std::to_string(feed.line) + " holds a NUL byte";
        feed.errorLine = feed.line;
        return nullptr;
    }
    std::memcpy(out, line.data(), line.size());
    out[line.size()] = '\0';
    feed.rest.remove_prefix(line.size());
    return out;
}

int takeEntry(void* user, const char* section, const char* key, const char* value)
{
    Feed& feed = *static_cast<Feed*>(user);
    if (!feed.seen.emplace(section, key).second) {
        if (feed.error.empty()) {
            feed.error = "line " + std::to_string(feed.line) + ": " + key + " is given twice" +
                         (section[0] != '\0' ? std::string(" in [") + section + "]" : std::string());
            feed.errorLine = feed.line;
        }
        return 0;
    }
    feed.entries.push_back(IniEntry{section, key, value, feed.line});
    return 1;
}

}  // namespace

std::optional<std::vector<IniEntry>> parseIni(std::string_view text, std::string& error)
{
    Feed feed;
    feed.rest = text;
    const int result = ini_parse_stream(nextLine, &feed, takeEntry, &feed);
    // inih reports the first line it could not take; an error of ours (which
    // stops the feed) may come before or after it.
    if (result > 0 && (feed.error.empty() || result < feed.errorLine)) {
        error = "line " + std::to_string(result) + " is neither a [section] nor a key = value";
        return std::nullopt;
    }
    if (result < 0) {
        error = "the INI reader failed";
        return std::nullopt;
    }
    if (!feed.error.empty()) {
        error = feed.error;
        return std::nullopt;
    }
    return std::move(feed.entries);
}

const IniEntry* findEntry(const std::vector<IniEntry>& entries, std::string_view section, std::string_view key)
{
    for (const IniEntry& entry : entries) {
        if (entry.section == section && entry.key == key) {
            return &entry;
        }
    }
    return nullptr;
}

std::optional<std::vector<IniEntry>> parseVersionedIni(std::string_view text, int version, std::string& error)
{
    auto entries = parseIni(text, error);
    if (!entries) {
        return entries;
    }
    const IniEntry* stated = findEntry(*entries, "", "version");
    if (stated == nullptr) {
        error = "no format version";
        return std::nullopt;
    }
    if (readInteger(stated->value, version, version) != version) {
        error = lineError(*stated, "format version '" + stated->value + "' is not one this game reads (" +
                                       std::to_string(version) + ")");
        return std::nullopt;
    }
    return entries;
}

std::optional<std::int64_t> readInteger(std::string_view value, std::int64_t min, std::int64_t max)
{
    std::int64_t number = 0;
    const char* end = value.data() + value.size();
    // from_chars takes a leading '-' but no '+', and no spaces (inih strips
    // those around the value).
    const auto [stop, ec] = std::from_chars(value.data(), end, number);
    if (value.empty() || ec != std::errc() || stop != end || number < min || number > max) {
        return std::nullopt;
    }
    return number;
}

std::optional<bool> readSwitch(std::string_view value)
{
    std::string lower(value);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    for (const char* on : {"on", "true", "yes", "1"}) {
        if (lower == on) return true;
    }
    for (const char* off : {"off", "false", "no", "0"}) {
        if (lower == off) return false;
    }
    return std::nullopt;
}

std::string lineError(const IniEntry& entry, const std::string& what)
{
    return "line " + std::to_string(entry.line) + ": " + what;
}

LoadNotice loadPlayerFile(const std::filesystem::path& file, const std::function<std::string(std::string_view)>& parse,
                          std::string_view fallback)
{
    LoadNotice result;
    const SmallFile read = readSmallFile(file, maxIniFileBytes);
    if (!read.exists) {
        return result;
    }
    std::string problem = read.error;
    if (problem.empty()) {
        problem = parse(read.bytes);
        if (!problem.empty()) {
            problem = displayPath(file) + ": " + problem;
        }
    }
    if (problem.empty()) {
        return result;
    }
    std::string moveError;
    result.movedTo = moveAside(file, moveError);
    result.notice = "glimmerfall: " + problem + "; " + std::string(fallback) +
                    (result.movedTo.empty() ? " (" + moveError + ")"
                                            : ", the file is kept as " + displayPath(result.movedTo));
    std::fprintf(stderr, "%s\n", result.notice.c_str());
    return result;
}
