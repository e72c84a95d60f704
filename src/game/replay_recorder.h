#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/sound.h"
#include "game/game_tape.h"
#include "store/replay_file.h"

// Records a game from its first frame: each frame's control values and the
// sound's answers that decided something, a checksum of the game's state
// every 60 frames (replay_file.h). The file takes the place of the old one
// only when the recording is finished, so an unfinished one never replaces
// a good one.
class ReplayRecorder final : public GameTape, private SoundAnswers {
public:
    ReplayRecorder() = default;
    ~ReplayRecorder() override;

    // Starts the file; empty, or why it cannot be written.
    [[nodiscard]] std::string open(const std::filesystem::path& file, const ReplayHeader& header);

    void beforeFrame(GameData& game) override;
    void afterFrame(const GameData& game) override;

    // The trailer (the score and state after the last frame) and the file
    // in place; empty, or why not.
    [[nodiscard]] std::string finish();

private:
    std::uint32_t status(std::uint32_t fromDevice) override;

    ReplayWriter writer_;
    ReplayInputs inputs_;
    std::vector<std::uint8_t> answers_;  // this frame's, in the order asked
    bool open_ = false;
    std::uint64_t lastChecksum_ = 0;
    std::int32_t lastScore_ = 0;
};

// The control values a frame starts with, as a replay keeps them.
ReplayInputs inputsOf(const GameData& game);
// Puts recorded control values into the game.
void applyInputs(const ReplayInputs& inputs, GameData& game);
// A buffer's status reduced to what the game looks at, and back.
std::uint8_t soundAnswerOf(std::uint32_t status);
std::uint32_t statusOf(std::uint8_t soundAnswer);
// The chime and the engine take their answers from `answers` (null: the
// device's again).
void routeSoundAnswers(SoundAnswers* answers);
// The device's answers again, if `from` is the one taking them.
void stopRoutingSoundAnswers(const SoundAnswers* from);
