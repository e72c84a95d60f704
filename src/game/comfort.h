#pragma once

#include "audio/game_sounds.h"
#include "game/controls.h"
#include "game/overlay.h"
#include "input/joystick.h"
#include "world/textures.h"

// The player's comfort around the game proper: play paused, the master
// volume and the music, and the notice that shows a new volume. The game
// holds one for the whole run.
struct Comfort {
    // Play stands still: every frame draws the same picture with "paused" on
    // it, the engine falls silent, and nothing of the game moves.
    bool paused = false;
    bool quiet = false;  // paused without the word: a replay's last picture

    enum class Notice : int { none, volume, music };
    Notice notice = Notice::none;  // what the notice shows
    int noticeFrames = 0;          // frames it stays on the screen

    // Whether the last frame saw the pad's Start and A held, so that each
    // press of them acts once.
    bool startSeen = false;
    bool primarySeen = false;
};

// The presses since the last frame: the keys' (Controls) and the pad's
// buttons held now that were not held then.
struct ComfortPresses {
    bool pause = false;    // P, Esc or the pad's Start
    bool quieter = false;  // − or the keypad's −
    bool louder = false;   // = or + or the keypad's +
    bool music = false;    // M
    bool primary = false;  // Space or the pad's A
};

// Takes this frame's presses (the keys' are cleared) and remembers what of
// the pad is held for the next.
ComfortPresses takePresses(Comfort& comfort, Controls& controls, const Controller& controller);

// The volume and music keys, on every frame: a step of the master volume
// (3 dB) or the music on or off, and the notice shown for 120 frames. The
// notice counts its frames down.
void applySoundKeys(Comfort& comfort, const ComfortPresses& presses, GameAudio& audio);

// The notice, when one shows, in screen space: "volume" and ten marks, as
// many lit as the volume's steps (none for silence), or "music on" / "music
// off". Leaves the state a frame of play expects.
void drawNotice(const Comfort& comfort, const GameAudio& audio, const Display& display,
                const Textures& textures);

// The word "paused" over a paused frame.
void drawPausedWord(const Display& display, const Textures& textures);
