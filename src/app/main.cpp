// Glimmerfall on a desktop: the game in an SDL window.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>

#include "app/command_line.h"
#include "app/record_book.h"
#include "app/player_settings.h"
#include "app/program.h"
#include "app/sdl_window_host.h"
#include "data_files.h"
#include "game/glimmerfall_game.h"
#include "game/replay_identity.h"
#include "game/replay_player.h"
#include "game/replay_recorder.h"
#include "store/atomic_file.h"
#include "store/user_folders.h"

namespace {

// The game's state, in fixed storage for the whole run.
GameData gameData;

bool holdsGameData(const std::string& folder)
{
    return access((folder + "/" + dataFiles::earthImage).c_str(), R_OK) == 0;
}

// The game reads its files from the current folder. When that folder does not
// hold them (a menu launch, a start from anywhere), it moves to the data
// folder beside the executable, then to the installed one: relative to the
// executable first, so a moved install still finds its files, then the
// folder the install was configured for.
void findGameData()
{
    if (holdsGameData(".")) {
        return;
    }
    std::string exeFolder;
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n > 0) {
        path[n] = '\0';
        exeFolder = path;
        exeFolder.erase(exeFolder.find_last_of('/') + 1);
    }
    const std::string candidates[] = {
        exeFolder.empty() ? std::string() : exeFolder + "data",
        exeFolder.empty() ? std::string() : exeFolder + GLIMMERFALL_RELATIVE_DATA_DIR,
        GLIMMERFALL_INSTALLED_DATA_DIR,
    };
    for (const std::string& folder : candidates) {
        if (!folder.empty() && holdsGameData(folder) && chdir(folder.c_str()) == 0) {
            return;
        }
    }
    // Nothing found: the game starts anyway and names each file it misses.
}

constexpr const char* lastReplayName = "last.replay";
constexpr const char* bestReplayName = "best.replay";

// The game just played becomes the last replay, and the best too when it
// set the best score.
void keepReplays(ReplayRecorder& recorder, const std::filesystem::path& folder, bool newBest)
{
    std::string error = recorder.finish();
    if (error.empty() && newBest) {
        const SmallFile last = readSmallFile(folder / lastReplayName, maxReplayFileBytes);
        error = last.error.empty() ? writeFileAtomically(folder / bestReplayName, last.bytes) : last.error;
    }
    if (!error.empty()) {
        std::fprintf(stderr, "glimmerfall: cannot keep the replay of this game: %s\n", error.c_str());
    }
}

// Plays a replay in the window; its picture stays for a moment at its end.
// 0 once it has played (or Esc stopped it), 2 when it cannot be played.
int playReplay(SdlWindowHost& host, const std::filesystem::path& file, std::uint64_t dataChecksum)
{
    ReplayPlayer player;
    if (player.open(file, replayExpectationHere(dataChecksum)) != ReplayRefusal::none) {
        std::fprintf(stderr, "glimmerfall: cannot play the replay %s: %s\n", displayPath(file).c_str(),
                     player.error().c_str());
        return 2;
    }
    GlimmerfallGame game(gameData);
    game.playReplay(&player);
    runGame(host, game);
    if (player.divergedAfter()) {
        std::fprintf(stderr, "glimmerfall: the replay went its own way after frame %u\n",
                     static_cast<unsigned>(*player.divergedAfter()));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const CommandLine options = parseCommandLine(argc, argv);
    switch (options.action) {
        case CommandLine::Action::help:
            std::fputs(usageText(), stdout);
            return 0;
        case CommandLine::Action::version:
            std::printf("glimmerfall %s\n", GLIMMERFALL_VERSION);
            return 0;
        case CommandLine::Action::error:
            std::fprintf(stderr, "glimmerfall: %s\n%s", options.error.c_str(), usageText());
            return 2;
        case CommandLine::Action::play:
            break;
    }
    // A replay named on the command line is found from where the game was
    // started, before it moves to its data folder.
    const std::filesystem::path replayFile =
        options.replayFile.empty() ? std::filesystem::path() : std::filesystem::absolute(options.replayFile);
    if (options.dataFolder.empty()) {
        findGameData();
    } else if (chdir(options.dataFolder.c_str()) != 0) {
        std::fprintf(stderr, "glimmerfall: cannot use the data folder '%s': %s\n", options.dataFolder.c_str(),
                     std::strerror(errno));
        return 2;
    }
    // The window starts as the command line asks, else as the player left it.
    PlayerSettings settings(configFolder(processEnvironment()));
    WindowMode mode = options.windowMode;
    int width = 0;
    int height = 0;
    if (settings.values().windowSize) {
        width = settings.values().windowSize->width;
        height = settings.values().windowSize->height;
    }
    if (!options.windowModeGiven) {
        mode = settings.values().fullscreen ? WindowMode::fullscreen
                                            : (settings.values().windowSize ? WindowMode::windowed : WindowMode::maximised);
    }
    SdlWindowHost host(mode, width, height);
    if (!host.start()) {
        return 1;
    }
    host.useSettings(std::move(settings));

    const std::uint64_t dataChecksum = dataFilesChecksum();
    if (!replayFile.empty()) {
        return playReplay(host, replayFile, dataChecksum);
    }
    // Best scores and the game's replay live in the player's data folder.
    const std::filesystem::path playerData = dataFolder(processEnvironment());
    RecordBook book(playerData, true);
    GlimmerfallGame game(gameData, &book);
    ReplayRecorder recorder;
    bool recording = false;
    if (!playerData.empty()) {
        const std::string error = recorder.open(playerData / lastReplayName, replayHeaderHere(dataChecksum));
        if (error.empty()) {
            game.record(&recorder);
            recording = true;
        } else {
            std::fprintf(stderr, "glimmerfall: cannot record this game (%s); playing on\n", error.c_str());
        }
    }
    const int code = runGame(host, game);
    if (recording) {
        keepReplays(recorder, playerData, gameData.best.newGameBest);
    }
    return code;
}
