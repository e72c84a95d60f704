#pragma once

#include <string>

#include "app/window_mode.h"

// What the command line asks for.
struct CommandLine {
    enum class Action { play, help, version, error };
    Action action = Action::play;
    WindowMode windowMode = WindowMode::maximised;
    bool windowModeGiven = false;  // --fullscreen or --windowed; else the settings decide
    std::string dataFolder;  // empty: the usual search for the data files
    std::string replayFile;  // a replay to play instead of a game; empty: play
    std::string error;       // why the command line was refused
};

// Reads the options: --help (-h), --version, --fullscreen, --windowed,
// --data DIR (or --data=DIR) and --replay FILE (or --replay=FILE). The last of --fullscreen and --windowed wins;
// --help, then --version, win over the other options. The first unknown
// option or stray argument makes the whole line an error.
CommandLine parseCommandLine(int argc, const char* const* argv);

// The usage text, one option a line.
const char* usageText();
