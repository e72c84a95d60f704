#include "audio/game_sounds.h"

#include "audio/sound_device.h"

GameAudio gameAudio;

std::int32_t masterVolumeLevel(int step)
{
    if (step <= 0) return dsbVolumeMin;
    return -300 * (maxMasterVolume - step);
}

void setMasterVolume(GameAudio& audio, int step)
{
    audio.masterVolume = step < 0 ? 0 : (step > maxMasterVolume ? maxMasterVolume : step);
    SoundDevice* device = audio.soundManager.directSound;
    if (device != nullptr) device->setMasterVolume(masterVolumeLevel(audio.masterVolume));
}

std::int32_t musicVolume(const GameAudio& audio) { return audio.musicOn ? 0 : dsbVolumeMin; }

void setMusicOn(GameAudio& audio, bool on)
{
    audio.musicOn = on;
    SoundBuffer* music = audio.musicSound != nullptr ? audio.musicSound->getBuffer(0) : nullptr;
    if (music != nullptr) music->setVolume(musicVolume(audio));
}

void updateThrustSound(GameAudio& audio, bool thrusting)
{
    Sound* thrustSound = audio.thrustSound;
    int& thrustLevel = audio.thrustLevel;
    if (thrustSound == nullptr) return;
    SoundBuffer* loop = thrustSound->getBuffer(0);
    if (loop == nullptr) return;

    if (thrusting) {
        // The loop starts with the first thrust and then never stops; at rest
        // it just plays at -5000.
        if (!thrustSound->isPlaying()) loop->play(0, 0, dsbPlayLooping);
        if (!thrustSound->isPlaying()) return;
        thrustLevel += 100;
        if (thrustLevel > 3000) thrustLevel = 3000;
    } else {
        if (!thrustSound->isPlaying()) return;
        thrustLevel -= 100;
        if (thrustLevel < 0) thrustLevel = 0;
    }
    loop->setVolume(thrustLevel - 5000);
}

void muteThrustSound(GameAudio& audio)
{
    SoundBuffer* loop = audio.thrustSound != nullptr ? audio.thrustSound->getBuffer(0) : nullptr;
    if (loop != nullptr) loop->setVolume(dsbVolumeMin);
}

void quietThrustSound(GameAudio& audio)
{
    Sound* thrustSound = audio.thrustSound;
    int& thrustLevel = audio.thrustLevel;
    if (thrustSound == nullptr) return;
    SoundBuffer* loop = thrustSound->getBuffer(0);
    if (loop == nullptr || !thrustSound->isPlaying()) return;
    thrustLevel -= 100;
    if (thrustLevel < 0) thrustLevel = 0;
    loop->setVolume(thrustLevel > 0 ? thrustLevel - 5000 : dsbVolumeMin);
}
