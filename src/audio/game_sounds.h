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
    // The player's choices: the master volume in steps of 3 dB (10 is the
    // mix as made, 0 silence) and whether the music is heard.
    int masterVolume = 10;
    bool musicOn = true;
};
extern GameAudio gameAudio;

inline constexpr int maxMasterVolume = 10;

// The volume of the whole output for a master volume step: 0 at the top,
// 3 dB less a step below, silent at 0 (hundredths of a decibel).
std::int32_t masterVolumeLevel(int step);

// Sets the master volume (held to 0..maxMasterVolume) and tells the device.
void setMasterVolume(GameAudio& audio, int step);

// Lets the music be heard or turns it down to silence; it plays on either
// way, so it comes back where it has got to.
void setMusicOn(GameAudio& audio, bool on);

// The music's volume as the player's choice has it.
std::int32_t musicVolume(const GameAudio& audio);

// Keeps the thrust loop in step with the thrust: starts it when thrust begins,
// raises its volume by 100 per thrusting frame and lowers it by 100 per idle
// frame. Does nothing when the thrust sound was not created.
void updateThrustSound(GameAudio& audio, bool thrusting);

// On screens: lowers the thrust loop's volume by 100 a frame as an idle frame
// of play does, and once thrustLevel is 0 turns it down to silence. Only
// updateThrustSound, in play, makes it heard again.
void quietThrustSound(GameAudio& audio);

// While play is paused: the thrust loop at once silent, thrustLevel kept, and
// nothing asked of the device, so that a paused stretch changes nothing the
// game goes by. The next frame of play sets the loop's volume again.
void muteThrustSound(GameAudio& audio);
