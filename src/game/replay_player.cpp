#include "game/replay_player.h"

#include "audio/game_sounds.h"
#include "game/game_snapshot.h"
#include "game/replay_recorder.h"

ReplayPlayer::~ReplayPlayer()
{
    stopRoutingSoundAnswers(this);
}

ReplayRefusal ReplayPlayer::open(const std::filesystem::path& file, const ReplayExpectation& expect)
{
    const ReplayRefusal refusal = reader_.open(file, expect);
    finished_ = refusal != ReplayRefusal::none;
    return refusal;
}

void ReplayPlayer::beforeFrame(GameData& game)
{
    if (finished_) {
        routeSoundAnswers(nullptr);
        return;
    }
    if (!frameTaken_) {
        frameTaken_ = reader_.nextFrame(frame_);
        if (!frameTaken_) {
            finished_ = true;
            routeSoundAnswers(nullptr);
            return;
        }
    }
    applyInputs(frame_.inputs, game);
    nextAnswer_ = 0;
    routeSoundAnswers(this);
}

void ReplayPlayer::afterFrame(const GameData& game)
{
    if (finished_ || !frameTaken_ || game.comfort.paused) {
        return;  // a paused frame plays the same recorded frame again after
    }
    frameTaken_ = false;
    ++played_;
    if (nextAnswer_ != frame_.soundAnswers.size()) {
        diverge(played_);  // the game asked the sound other questions than recorded
    }
    const std::optional<std::uint64_t> recorded = reader_.checksumAfterFrame();
    if (recorded && *recorded != stateChecksum(game)) {
        diverge(played_);
    }
    if (played_ == reader_.trailer().frameCount) {
        finished_ = true;
        routeSoundAnswers(nullptr);
        if (reader_.trailer().finalStateChecksum != stateChecksum(game) ||
            reader_.trailer().finalScore != game.session.score) {
            diverge(played_);
        }
    }
}

std::uint32_t ReplayPlayer::status(std::uint32_t fromDevice)
{
    if (nextAnswer_ >= frame_.soundAnswers.size()) {
        diverge(played_ + 1);  // the frame being played
        return fromDevice;
    }
    return statusOf(frame_.soundAnswers[nextAnswer_++]);
}

void ReplayPlayer::diverge(std::uint32_t frame)
{
    if (!diverged_) {
        diverged_ = frame;
    }
}
