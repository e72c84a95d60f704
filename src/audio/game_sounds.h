#pragma once

#include "audio/sound.h"
#include "audio/sound_manager.h"

// The game's sound: the device's manager and the three sounds, made when the
// window is created (startAudio) and closed when the message loop ends
// (stopAudio), and the engine's level. One for the whole run: the shell
// starts, mutes and restores it, the frame plays the chime and the engine.
struct GameAudio {
    SoundManager soundManager;
    // Null when the file could not be loaded: the game then runs on without it.
    Sound* pickupSound = nullptr;
    Sound* thrustSound = nullptr;
    Sound* musicSound = nullptr;
    int thrustLevel = 0;  // 0..3000; the thrust loop plays at thrustLevel − 5000
};
extern GameAudio gameAudio;

// Keeps the thrust loop in step with the thrust: starts it when thrust begins,
// raises its volume by 100 per thrusting frame and lowers it by 100 per idle
// frame. Does nothing when the thrust sound was not created.
void updateThrustSound(GameAudio& audio, bool thrusting);

// On screens: lowers the thrust loop's volume by 100 a frame as an idle frame
// of play does, and once thrustLevel is 0 turns it down to silence. Only
// updateThrustSound, in play, makes it heard again.
void quietThrustSound(GameAudio& audio);
