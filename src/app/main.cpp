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
#include "app/game_session.h"
#include "app/player_settings.h"
#include "app/sdl_window_host.h"
#include "data_files.h"
#include "game/game_data.h"
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
    const WindowStart start = windowStart(options, settings.values());
    SdlWindowHost host(start.mode, start.width, start.height);
    if (!host.start()) {
        return 1;
    }
    host.useSettings(std::move(settings));

    std::string refusal;
    const int code = playGameOrReplay(host, gameData, replayFile, refusal);
    if (!refusal.empty()) {
        std::fprintf(stderr, "glimmerfall: %s\n", refusal.c_str());
    }
    return code;
}
