#pragma once

// Where the game keeps the player's files: settings in the configuration
// folder, records and replays in the data folder. The rules are pure
// functions over the environment's values, so tests pass their own; the edge
// files (user_folders_posix.cpp, user_folders_windows.cpp) read the real ones.
#include <cstdint>
#include <filesystem>

enum class Platform : std::uint8_t {
    gnuLinux = 1,
    windows = 2,
};

// The environment's values that decide the folders; an empty path is an
// unset variable.
struct FolderEnvironment {
    Platform platform = Platform::gnuLinux;
    std::filesystem::path xdgConfigHome;  // XDG_CONFIG_HOME
    std::filesystem::path xdgDataHome;    // XDG_DATA_HOME
    std::filesystem::path home;           // HOME
    std::filesystem::path appData;        // %APPDATA% (roaming)
    std::filesystem::path localAppData;   // %LOCALAPPDATA%
};

// The platform this program was built for, and one variable of this
// process's environment (an empty path when unset); from the edge files.
Platform thisPlatform();
std::filesystem::path environmentVariable(const char* name);

// This process's environment.
FolderEnvironment processEnvironment();

// $XDG_CONFIG_HOME/glimmerfall, else $HOME/.config/glimmerfall; on Windows
// %APPDATA%\Glimmerfall. Empty when no usable value is set. A relative XDG
// value is ignored (the XDG base directory rules), and so is a relative HOME
// or Windows folder: the game never writes relative to where it was started.
std::filesystem::path configFolder(const FolderEnvironment& env);

// $XDG_DATA_HOME/glimmerfall, else $HOME/.local/share/glimmerfall; on Windows
// %LOCALAPPDATA%\Glimmerfall. Empty as above.
std::filesystem::path dataFolder(const FolderEnvironment& env);
