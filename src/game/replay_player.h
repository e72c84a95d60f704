#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "audio/sound.h"
#include "game/game_tape.h"
#include "store/replay_file.h"

// Plays a recorded game back: before each frame the recording's control
// values take the place of the player's, and the chime's and the engine's
// answers are the recorded ones, so that the game decides as it did. The
// recorded checksums are compared as the frames go by; the first frame
// whose state differs is kept.
class ReplayPlayer final : public GameTape, private SoundAnswers {
public:
    ReplayPlayer() = default;
    ~ReplayPlayer() override;

    // Reads and checks the whole file; none when it can be played, else the
    // reason, and error() tells it in words.
    ReplayRefusal open(const std::filesystem::path& file, const ReplayExpectation& expect);
    const std::string& error() const { return reader_.error(); }
    const ReplayTrailer& trailer() const { return reader_.trailer(); }

    void beforeFrame(GameData& game) override;
    void afterFrame(const GameData& game) override;

    // True once every recorded frame has been played.
    bool finished() const { return finished_; }
    // The first frame (counted from 1) after which the state differed from
    // the recording's, the trailer's check included; none while it agrees.
    std::optional<std::uint32_t> divergedAfter() const { return diverged_; }

private:
    std::uint32_t status(std::uint32_t fromDevice) override;
    void diverge(std::uint32_t frame);

    ReplayReader reader_;
    ReplayFrame frame_;
    bool frameTaken_ = false;  // frame_ holds the next frame, not yet played
    bool finished_ = false;
    std::size_t nextAnswer_ = 0;
    std::uint32_t played_ = 0;
    std::optional<std::uint32_t> diverged_;
};
