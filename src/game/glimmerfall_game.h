#pragma once

#include "app/game.h"
#include "app/record_book.h"
#include "game/game_data.h"
#include "game/game_tape.h"

class ReplayPlayer;

// The game the hosts hand to the shell. Its state is the GameData it is
// given, which the host keeps in fixed storage for the whole run (so a test
// or the runner can look at it, or give its own).
class GlimmerfallGame final : public Game {
public:
    // The best scores come from the book and new ones go to it (none: the
    // game keeps none).
    explicit GlimmerfallGame(GameData& data, RecordBook* book = nullptr);

    // Controls and clock back to zero, the camera back at its start.
    void created() override;
    // The GL state, the textures, lighting, the figure and digit tables and
    // the viewport (game/rendering_setup.h).
    void setupRendering(int width, int height) override;
    // Losing the focus pauses play (screens are never paused).
    void activated(bool active) override;
    // runFrame: a screen or a frame of play, handed to the tape.
    void frame() override;
    // The keyboard and mouse handlers (handleInputMessage); while a replay
    // plays only Esc (stop) and P (pause) are taken.
    void input(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam) override;
    // True once a replay was stopped, or had its picture held for 120
    // frames after its last.
    bool finished() const override { return finished_; }

    // Records every frame of the game on the tape (null: none).
    void record(GameTape* tape) { tape_ = tape; }
    // Plays a replay from here (null: the player plays again): the game
    // starts afresh, the recording's inputs and sound answers take the
    // place of the player's; when it has played to its end the last picture
    // stays for 120 frames, and then the game is finished.
    void playReplay(ReplayPlayer* player);

private:
    void holdFrame();

    GameData& data_;
    RecordBook* book_;
    GameTape* tape_ = nullptr;
    ReplayPlayer* player_ = nullptr;
    int holdFrames_ = 0;
    bool finished_ = false;
};

// Puts the whole game back to its start values, as at the program's start
// (game/game_snapshot.h); the textures and the display stay.
void startAfresh(GameData& data);
