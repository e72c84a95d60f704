#include "app/game_session.h"

#include <cstdio>

#include "app/program.h"
#include "app/record_book.h"
#include "game/glimmerfall_game.h"
#include "game/replay_identity.h"
#include "game/replay_player.h"
#include "game/replay_recorder.h"
#include "store/atomic_file.h"
#include "store/user_folders.h"

namespace {

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

}  // namespace

WindowStart windowStart(const CommandLine& options, const Settings& settings)
{
    WindowStart start;
    start.mode = options.windowMode;
    if (settings.windowSize) {
        start.width = settings.windowSize->width;
        start.height = settings.windowSize->height;
    }
    if (!options.windowModeGiven) {
        start.mode = settings.fullscreen ? WindowMode::fullscreen
                                         : (settings.windowSize ? WindowMode::windowed : WindowMode::maximised);
    }
    return start;
}

namespace {

int playRecordedGame(Host& host, GameData& data, const std::filesystem::path& playerData)
{
    RecordBook book(playerData, true);
    GlimmerfallGame game(data, &book);
    ReplayRecorder recorder;
    bool recording = false;
    if (!playerData.empty()) {
        const std::string error = recorder.open(playerData / lastReplayName, replayHeaderHere(dataFilesChecksum()));
        if (error.empty()) {
            game.record(&recorder);
            recording = true;
        } else {
            std::fprintf(stderr, "glimmerfall: cannot record this game (%s); playing on\n", error.c_str());
        }
    }
    const int code = runGame(host, game);
    if (recording) {
        keepReplays(recorder, playerData, data.best.newGameBest);
    }
    return code;
}

int playReplayFile(Host& host, GameData& data, const std::filesystem::path& file, std::string& refusal)
{
    ReplayPlayer player;
    if (player.open(file, replayExpectationHere(dataFilesChecksum())) != ReplayRefusal::none) {
        refusal = "cannot play the replay " + displayPath(file) + ": " + player.error();
        return 2;
    }
    GlimmerfallGame game(data);
    game.playReplay(&player);
    runGame(host, game);
    if (player.divergedAfter()) {
        std::fprintf(stderr, "glimmerfall: the replay went its own way after frame %u\n",
                     static_cast<unsigned>(*player.divergedAfter()));
    }
    return 0;
}

}  // namespace

int playGameOrReplay(Host& host, GameData& data, const std::filesystem::path& replayFile, std::string& refusal)
{
    if (!replayFile.empty()) {
        return playReplayFile(host, data, replayFile, refusal);
    }
    return playRecordedGame(host, data, dataFolder(processEnvironment()));
}
