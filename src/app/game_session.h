#pragma once

// What both desktop programs (the SDL one and the Windows one) do around the
// shell once the command line is read: the window started as the player
// left it, a game recorded with the player's best scores, or a replay
// played. Only the platform's own steps (finding the data, telling the
// player) stay in each program's entry.
#include <cstdint>
#include <filesystem>
#include <string>

#include "app/command_line.h"
#include "app/host.h"
#include "app/window_mode.h"
#include "store/settings_file.h"

struct GameData;

// How the window starts: as the command line asks, else as the player left
// it (fullscreen, an ordinary window of the kept size, or maximised). A size
// of 0 means the host's own choice.
struct WindowStart {
    WindowMode mode = WindowMode::maximised;
    int width = 0;
    int height = 0;
};
WindowStart windowStart(const CommandLine& options, const Settings& settings);

// Plays over the host (started, with the player's settings): the replay in
// `replayFile` when one is named, else one game from the title, with the
// best scores of the player's data folder (dated by the clock) and the game
// recorded there as last.replay, and as best.replay too when it set the best
// score (without a data folder nothing is kept). Returns the exit code:
// runGame's for a game, 0 once a replay has played (or was stopped), 2 when
// it cannot be played, with the reason in `refusal` for the entry to tell.
int playGameOrReplay(Host& host, GameData& data, const std::filesystem::path& replayFile, std::string& refusal);
