#include "game/glimmerfall_game.h"

#include <memory>

#include "audio/game_sounds.h"
#include "game/frame_driver.h"
#include "game/game_flow.h"
#include "game/game_snapshot.h"
#include "game/rendering_setup.h"
#include "game/replay_player.h"
#include "game/replay_recorder.h"
#include "input/joystick.h"

namespace {

constexpr int heldFrames = 120;  // the last picture of a replay stays this long

// Nothing held: the keys and the pad at rest.
void applyNoInputs(GameData& data)
{
    ReplayInputs none;
    none.joystickUsable = gameController.joystickUsable;
    applyInputs(none, data);
    gameController.joystickState.rgbButtons[startButton] = 0;
}

}  // namespace

GlimmerfallGame::GlimmerfallGame(GameData& data, RecordBook* book) : data_(data), book_(book)
{
    if (book_ != nullptr) {
        data_.best.records = book_->records();
    }
}

void GlimmerfallGame::created()
{
    resetControls(data_.controls);
    data_.session.levelTime = 0.0f;
    resetCamera(data_.camera);
}

void GlimmerfallGame::setupRendering(int width, int height)
{
    ::setupRendering(data_.textures, data_.display, width, height);
}

void GlimmerfallGame::activated(bool active)
{
    if (!active && screenFor(data_.session) == Screen::none) {
        data_.comfort.paused = true;
    }
}

void GlimmerfallGame::playReplay(ReplayPlayer* player)
{
    player_ = player;
    holdFrames_ = 0;
    finished_ = false;
    if (player_ != nullptr) {
        startAfresh(data_);
        data_.best.keeping = false;  // a replay sets no records: its game set them
    }
}

void GlimmerfallGame::frame()
{
    if (holdFrames_ > 0) {
        holdFrame();
        return;
    }
    data_.best.today = book_ != nullptr ? book_->today() : 0;
    GameTape* tape = player_ != nullptr ? player_ : tape_;
    if (tape != nullptr) {
        tape->beforeFrame(data_);
    }
    runFrame(data_);
    if (tape != nullptr) {
        tape->afterFrame(data_);
    }
    if (player_ != nullptr && player_->finished()) {
        holdFrames_ = heldFrames;
    }
    if (data_.best.changed && book_ != nullptr) {
        book_->keep(data_.best.records);
        data_.best.changed = false;
    }
}

void GlimmerfallGame::holdFrame()
{
    // The last picture: play stands still without the word, a screen is
    // drawn again with nothing pressed.
    applyNoInputs(data_);
    if (screenFor(data_.session) == Screen::none) {
        data_.comfort.paused = true;
        data_.comfort.quiet = true;
    }
    runFrame(data_);
    if (--holdFrames_ == 0) {
        finished_ = true;
    }
}

void GlimmerfallGame::input(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam)
{
    if (player_ == nullptr) {
        handleInputMessage(data_.controls, gameController, message, wParam, lParam);
        return;
    }
    // A replay: the player's keys are not the game's.
    const auto key = static_cast<std::uint32_t>(wParam & 0xFFFFu);
    if (message == wmKeyDown && (lParam & keyRepeatFlag) == 0) {
        if (key == vkEscape) {
            finished_ = true;
        } else if (key == 'P') {
            data_.controls.pausePressed = true;
        }
    }
}

void startAfresh(GameData& data)
{
    // What is not the game's own stays: the textures and display, the best
    // scores, and the player's volume and music.
    const Textures textures = data.textures;
    const Display display = data.display;
    const Records records = data.best.records;
    static const auto start = std::make_unique<GameSnapshot>();
    start->masterVolume = gameAudio.masterVolume;
    start->musicOn = gameAudio.musicOn;
    start->restore(data);
    data.textures = textures;
    data.display = display;
    data.best.records = records;
}
