#pragma once

#include "game/game_data.h"

// A game on tape: recorded as it is played, or played back from a
// recording. The game hands every frame to its tape. Paused frames are not
// frames of the game: they change nothing the game goes by, and a tape
// leaves them out.
class GameTape {
public:
    GameTape() = default;
    virtual ~GameTape() = default;
    GameTape(const GameTape&) = delete;
    GameTape& operator=(const GameTape&) = delete;

    // Before a frame: a recording notes the control values, a replay puts its
    // own in their place. From here on the chime's and the engine's answers
    // (whether they play, which buffer a chime takes) go through the tape.
    virtual void beforeFrame(GameData& game) = 0;
    // After it: a paused frame is forgotten; a frame of the game is written
    // down, or checked against the recording.
    virtual void afterFrame(const GameData& game) = 0;
};
