// glimmerfall-script: runs the real game offscreen from a script of commands.
//   glimmerfall-script [--size WxH] [--data DIR] [--audio-out FILE.wav] [--config DIR]
//                      [--data-home DIR] [--record FILE] [SCRIPT]
//   (the script from stdin when no file is given)
// Exit code: the game's (1) after quit or the end of the script; 2 for a bad
// command line, a bad script, a command that failed or a sound recording that
// could not be written; 3 when GL reported an error after a frame (stderr
// names the error and the frame). When several things fail, every one is
// named and the first that happened decides the code.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "app/player_settings.h"
#include "app/program.h"
#include "app/record_book.h"
#include "game/glimmerfall_game.h"
#include "game/replay_identity.h"
#include "game/replay_recorder.h"
#include "script_command.h"
#include "script_host.h"

namespace {

constexpr int usageError = 2;

// The game's state, in fixed storage for the whole run.
GameData gameData;

int usage(const char* why)
{
    std::fprintf(stderr, "glimmerfall-script: %s\nusage: glimmerfall-script [--size WxH] [--data DIR] [--audio-out FILE.wav] [--config DIR] [--data-home DIR] [--record FILE] [SCRIPT]\n",
                 why);
    return usageError;
}

bool parseSize(const char* text, int& width, int& height)
{
    char extra = 0;
    return std::sscanf(text, "%dx%d%c", &width, &height, &extra) == 2 && width >= 1 && height >= 1 &&
           width <= 16384 && height <= 16384;
}

}  // namespace

int main(int argc, char** argv)
{
    int width = 1280;
    int height = 1024;
    const char* dataDir = nullptr;
    const char* audioOut = nullptr;
    const char* configDir = nullptr;
    const char* dataHome = nullptr;
    const char* recordTo = nullptr;
    const char* scriptPath = nullptr;
    struct ValueOption {
        const char* name;
        const char** value;
        const char* needs;
    };
    const ValueOption valueOptions[] = {{"--data", &dataDir, "--data needs a folder"},
                                        {"--audio-out", &audioOut, "--audio-out needs a file name"},
                                        {"--config", &configDir, "--config needs a folder"},
                                        {"--data-home", &dataHome, "--data-home needs a folder"},
                                        {"--record", &recordTo, "--record needs a file name"}};
    for (int i = 1; i < argc; ++i) {
        const ValueOption* option = nullptr;
        for (const ValueOption& o : valueOptions) {
            option = std::strcmp(argv[i], o.name) == 0 ? &o : option;
        }
        if (std::strcmp(argv[i], "--size") == 0) {
            if (i + 1 == argc || !parseSize(argv[++i], width, height)) {
                return usage("--size needs WIDTHxHEIGHT, each from 1 to 16384");
            }
        } else if (option != nullptr) {
            if (i + 1 == argc) {
                return usage(option->needs);
            }
            *option->value = argv[++i];
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            return usage((std::string("unknown option ") + argv[i]).c_str());
        } else if (scriptPath == nullptr) {
            scriptPath = argv[i];
        } else {
            return usage("only one script file");
        }
    }

    std::string text;
    if (scriptPath != nullptr && std::strcmp(scriptPath, "-") != 0) {
        std::ifstream in(scriptPath, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "glimmerfall-script: cannot read %s\n", scriptPath);
            return usageError;
        }
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } else {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    }
    ScriptParseResult script = parseScript(text);
    if (!script.ok()) {
        std::fprintf(stderr, "glimmerfall-script: %s: %s\n", scriptPath != nullptr ? scriptPath : "stdin",
                     script.error.c_str());
        return usageError;
    }
    ScriptHost host(gameData, width, height, std::move(script.commands), stdout);
    if (scriptPath != nullptr && std::strcmp(scriptPath, "-") != 0) {
        host.setScriptName(scriptPath);
    }
    std::string error;
    // The files the runner is given are made before entering the data
    // folder, so a relative name is relative to where it was started.
    if (audioOut != nullptr && !host.recorder().open(audioOut, error)) {
        std::fprintf(stderr, "glimmerfall-script: %s\n", error.c_str());
        return usageError;
    }
    // The player's settings and records are never the runner's: it keeps
    // them only in folders it is given.
    if (configDir != nullptr) {
        host.useSettings(PlayerSettings(std::filesystem::absolute(configDir)));
    }
    RecordBook book;
    if (dataHome != nullptr) {
        book = RecordBook(std::filesystem::absolute(dataHome), false);  // dated 0: the runner reads no clock
    }
    const std::filesystem::path replayFile = recordTo != nullptr ? std::filesystem::absolute(recordTo) : "";
    if (dataDir != nullptr && chdir(dataDir) != 0) {
        std::fprintf(stderr, "glimmerfall-script: cannot enter %s\n", dataDir);
        return usageError;
    }

    GlimmerfallGame game(gameData, &book);
    ReplayRecorder recorder;
    if (recordTo != nullptr) {
        error = recorder.open(replayFile, replayHeaderHere(dataFilesChecksum()));
        if (!error.empty()) {
            std::fprintf(stderr, "glimmerfall-script: cannot record %s: %s\n", recordTo, error.c_str());
            return usageError;
        }
        game.record(&recorder);
    }
    host.useGame(&game, recordTo != nullptr);
    const int code = runGame(host, game);
    if (recordTo != nullptr) {
        error = recorder.finish();
        if (!error.empty()) {
            host.noteFailure(2, "cannot record " + std::string(recordTo) + ": " + error);
        }
    }
    host.finishRecording();
    // Every failure is named; the first that happened decides the exit code.
    for (const ScriptHost::Failure& f : host.failures()) {
        std::fprintf(stderr, "glimmerfall-script: %s\n", f.text.c_str());
    }
    return host.failures().empty() ? code : host.failures().front().exitCode;
}
