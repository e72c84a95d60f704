#include "game/replay_recorder.h"

#include "audio/game_sounds.h"
#include "audio/sound_device.h"
#include "game/game_snapshot.h"
#include "input/joystick.h"

ReplayInputs inputsOf(const GameData& game)
{
    const JoystickState& pad = gameController.joystickState;
    ReplayInputs in;
    in.keyForward = game.controls.keyForward;
    in.keyTurn = game.controls.keyTurn;
    in.keyButton = game.controls.keyButton;
    in.lX = pad.lX;
    in.button0 = pad.rgbButtons[0];
    in.button1 = pad.rgbButtons[1];
    in.joystickUsable = gameController.joystickUsable;
    return in;
}

void applyInputs(const ReplayInputs& inputs, GameData& game)
{
    JoystickState& pad = gameController.joystickState;
    game.controls.keyForward = inputs.keyForward;
    game.controls.keyTurn = inputs.keyTurn;
    game.controls.keyButton = inputs.keyButton;
    pad.lX = inputs.lX;
    pad.rgbButtons[0] = inputs.button0;
    pad.rgbButtons[1] = inputs.button1;
    gameController.joystickUsable = inputs.joystickUsable;
}

std::uint8_t soundAnswerOf(std::uint32_t status)
{
    return static_cast<std::uint8_t>(((status & dsbStatusPlaying) != 0 ? soundAnswerPlaying : 0) |
                                     ((status & dsbStatusBufferLost) != 0 ? soundAnswerLost : 0));
}

std::uint32_t statusOf(std::uint8_t soundAnswer)
{
    return ((soundAnswer & soundAnswerPlaying) != 0 ? dsbStatusPlaying : 0u) |
           ((soundAnswer & soundAnswerLost) != 0 ? dsbStatusBufferLost : 0u);
}

void routeSoundAnswers(SoundAnswers* answers)
{
    for (Sound* sound : {gameAudio.pickupSound, gameAudio.thrustSound}) {
        if (sound != nullptr) {
            sound->answers = answers;
        }
    }
}

void stopRoutingSoundAnswers(const SoundAnswers* from)
{
    if (gameAudio.pickupSound != nullptr && gameAudio.pickupSound->answers == from) {
        routeSoundAnswers(nullptr);
    }
}

ReplayRecorder::~ReplayRecorder()
{
    stopRoutingSoundAnswers(this);
}

std::string ReplayRecorder::open(const std::filesystem::path& file, const ReplayHeader& header)
{
    std::string error = writer_.open(file, header);
    open_ = error.empty();
    return error;
}

void ReplayRecorder::beforeFrame(GameData& game)
{
    inputs_ = inputsOf(game);
    answers_.clear();
    routeSoundAnswers(this);
}

void ReplayRecorder::afterFrame(const GameData& game)
{
    if (!open_ || game.comfort.paused) {
        return;
    }
    writer_.addFrame(inputs_, answers_);
    // The trailer holds the state after the last frame of the game, not as
    // the keys leave it when the program ends.
    lastChecksum_ = stateChecksum(game);
    lastScore_ = game.session.score;
    if (writer_.checksumDue()) {
        writer_.addStateChecksum(lastChecksum_);
    }
}

std::string ReplayRecorder::finish()
{
    if (!open_) {
        return "no recording was started";
    }
    open_ = false;
    routeSoundAnswers(nullptr);
    return writer_.finish(lastScore_, lastChecksum_);
}

std::uint32_t ReplayRecorder::status(std::uint32_t fromDevice)
{
    answers_.push_back(soundAnswerOf(fromDevice));
    return fromDevice;
}
