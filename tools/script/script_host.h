#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/host.h"
#include "autopilot.h"
#include "game/game_data.h"
#include "game/game_snapshot.h"
#include "game/glimmerfall_game.h"
#include "game/replay_player.h"
#include "mix_recorder.h"
#include "script_command.h"

struct _SDL_Joystick;

// The game in an offscreen OSMesa buffer, driven by a script instead of a
// desktop. The buffer's size stands in for the desktop. Commands run before
// the joystick is opened and then after each frame once the frames asked for
// have been produced; input commands queue messages that the game's own loop
// takes, as a window's would be. The game's sound plays on OpenAL Soft's
// loopback output, mixed in game time: 1/60 s after every frame.
class ScriptHost final : public Host {
public:
    // The game's state is the one the runner hands its game; the host reads
    // it for state lines, the autopilot and `level N`.
    ScriptHost(GameData& game, int width, int height, std::vector<ScriptCommand> commands, std::FILE* out);
    ~ScriptHost() override;

    // The offscreen buffer is the window's client area: its size is the
    // runner's --size until a script resizes it.
    int clientWidth() const override { return width_; }
    int clientHeight() const override { return height_; }
    void createRenderContext() override;
    void releaseRenderContext() override;
    void presentFrame() override;
    void showErrorBox(const char* text, const char* caption) override;

    std::int64_t framesProduced() const { return frames_; }

    // What went wrong during the run, in the order it happened: a command
    // that failed ("SCRIPT: line N: ...", exit code 2), a recording that could
    // not be written (2), GL reporting an error after a frame (3). The runner
    // names every one and ends with the code of the first.
    struct Failure {
        int exitCode;
        std::string text;
    };
    const std::vector<Failure>& failures() const { return failures_; }
    // Closes the recording (if any) and notes its failure.
    void finishRecording();
    // Notes a failure found outside the script's commands.
    void noteFailure(int exitCode, std::string text) { failures_.push_back(Failure{exitCode, std::move(text)}); }
    // The script's name as failures of its lines are reported.
    void setScriptName(std::string name) { scriptName_ = std::move(name); }
    // The game the runner plays, for replays, and whether it is being
    // recorded (then `level N` is refused: a recording starts at the title
    // and plays every frame).
    void useGame(GlimmerfallGame* game, bool recording)
    {
        glimmerfall_ = game;
        recording_ = recording;
    }
    // GL is asked for errors after every frame; the first frame that left one
    // ends the run. Both are 0 while no error was seen.
    unsigned int glError() const { return glError_; }
    std::int64_t glErrorFrame() const { return glErrorFrame_; }
    // Texture names that exist now, among all the game has held so far.
    int liveTextureNames() const;
    // The game's sound, taken after every frame; open() it to write a WAV file.
    MixRecorder& recorder() { return recorder_; }

protected:
    bool openWindow() override { return true; }
    void closeWindow() override {}
    void revealWindow() override;
    void pumpEvents(bool wait) override;

private:
    void runCommands();
    bool run(const ScriptCommand& c);
    void fail(const ScriptCommand& c, const std::string& why);
    void noteRecordingFailure(const std::string& why);
    bool startReplay(const ScriptCommand& c);
    void endReplay();
    void postKey(std::uint32_t message, std::uint32_t key, bool repeat);
    void steer();
    void releaseAutopilotKeys();
    bool makeCurrent(int width, int height);
    bool saveScreenshot(const std::string& path, std::string& error) const;
    void checkGlErrors();
    void noteTextureNames();

    GameData& game_;
    GlimmerfallGame* glimmerfall_ = nullptr;
    bool recording_ = false;
    std::unique_ptr<ReplayPlayer> replay_;  // the replay being played, if any
    std::string replayName_;
    std::filesystem::path startFolder_ = std::filesystem::current_path();  // before --data is entered
    std::unique_ptr<GameSnapshot> snapshot_ = std::make_unique<GameSnapshot>();  // for state lines
    int width_;
    int height_;
    std::vector<ScriptCommand> commands_;
    std::size_t next_ = 0;
    std::FILE* out_;

    void* context_ = nullptr;
    std::vector<std::uint8_t> backBuffer_;   // what GL draws into
    std::vector<std::uint8_t> frontBuffer_;  // the last presented frame
    std::int64_t frames_ = 0;
    std::int64_t budget_ = 0;
    bool autopilot_ = false;
    Autopilot pilot_;
    AutopilotKeys held_;
    bool finished_ = false;
    std::vector<Failure> failures_;
    std::string scriptName_ = "stdin";
    bool recordingFailed_ = false;
    unsigned int glError_ = 0;
    std::int64_t glErrorFrame_ = 0;
    unsigned int highestTextureName_ = 0;

    MixRecorder recorder_;
    _SDL_Joystick* pad_ = nullptr;
    int padIndex_ = -1;
};
