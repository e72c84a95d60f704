#pragma once

// Running an installed copy of the game under the virtual X server the test
// runs in (xvfb-run). Include after gtest: Xlib's macros would clash with it.
#include <filesystem>
#include <string>
#include <vector>

struct GameRun {
    int exitCode = -1;  // -1: no window, or it would not close
    std::string err;
    int windowWidth = 0;
    int windowHeight = 0;
};

std::string readFile(const std::filesystem::path& path);

// Starts the program in the given folder with the given arguments, waits
// until its window shows (the data has been read by then), notes the window's
// size, closes it as a window manager would and collects its stderr.
GameRun runGameIn(const std::filesystem::path& program, const std::filesystem::path& folder,
                  const std::vector<std::string>& args = {});

// True when stderr names a data file the game could not read.
bool missesData(const std::string& err);

// True when an X display is there to run the game on.
bool haveDisplay();
