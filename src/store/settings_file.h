#pragma once

// The player's settings, kept in settings.ini in the configuration folder
// (user_folders.h). The file is INI text:
//
//   version = 1
//   [sound]
//   volume = 10        ; master volume, 0 (silent) to 10
//   music = on
//   [window]
//   fullscreen = off
//   width = 1280       ; width and height together, or neither (the host's
//   height = 800       ; choice)
//
// A missing key keeps its default. A key or section this version does not
// know is ignored, so a later version may add some without a new format
// version (and this version's next save drops them); a new format version is
// for changes an older game would misread, and such a file counts as damaged.
#include <compare>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "store/ini_file.h"

inline constexpr int settingsFormatVersion = 1;
inline constexpr const char* settingsFileName = "settings.ini";

struct WindowSize {
    int width = 0;
    int height = 0;
    bool operator==(const WindowSize&) const = default;
};

struct Settings {
    static constexpr int maxVolume = 10;
    static constexpr int minWindowSide = 64;
    static constexpr int maxWindowSide = 16384;

    int masterVolume = maxVolume;
    bool music = true;
    bool fullscreen = false;
    std::optional<WindowSize> windowSize;  // none: the host chooses

    bool operator==(const Settings&) const = default;
};

// Reads settings text into `settings` (which keeps what the text does not
// set). Empty on success, else what is wrong (the values are then partly read).
std::string parseSettings(std::string_view text, Settings& settings);

// The text of the file for `settings`.
std::string formatSettings(const Settings& settings);

struct LoadedSettings {
    Settings settings;
    LoadNotice notice;  // the stderr line and where a damaged file went, if any
};

// The settings in `file`: the defaults when it is missing, unreadable or
// damaged (see ini_file.h for what happens to a damaged file).
LoadedSettings loadSettingsFile(const std::filesystem::path& file);

// Writes `settings` to `file` atomically. Empty on success, else why not.
[[nodiscard]] std::string saveSettingsFile(const std::filesystem::path& file, const Settings& settings);
