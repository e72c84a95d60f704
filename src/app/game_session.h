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

// Plays one game from the title over the host, with the best scores of the
// player's data folder (dated by the clock) and the game recorded there as
// last.replay, and as best.replay too when it set the best score. Without a
// data folder nothing is kept. Returns runGame's exit code.
int playRecordedGame(Host& host, GameData& data, const std::filesystem::path& playerData,
                     std::uint64_t dataChecksum);

// Plays the replay in `file` over the host. 0 once it has played (or was
// stopped); 2 when it cannot be played, with the reason in `refusal`.
int playReplayFile(Host& host, GameData& data, const std::filesystem::path& file, std::uint64_t dataChecksum,
                   std::string& refusal);
