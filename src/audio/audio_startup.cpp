#include "audio/audio_startup.h"

#include <cstdio>
#include <initializer_list>

#include "audio/game_sounds.h"
#include "data_files.h"

namespace {

constexpr std::uint32_t gameSoundFlags = dsbCapsCtrlVolume | dsbCapsCtrlFrequency;

// Loads one sound; a file that cannot be loaded leaves it null and is named
// on stderr, and the game goes on without it.
void loadSound(Sound** sound, const char* fileName, std::uint32_t bufferCount)
{
    const HResult hr =
        gameAudio.soundManager.createSound(sound, fileName, gameSoundFlags, guidNull, bufferCount);
    if (failed(hr)) {
        std::fprintf(stderr, "glimmerfall: cannot load sound \"%s\" (error 0x%08X); playing on without it\n",
                     fileName, static_cast<unsigned>(hr));
    }
}

}  // namespace

HResult startAudio()
{
    HResult hr = gameAudio.soundManager.initialize(nullptr, dsSclPriority);
    if (failed(hr)) return hr;
    hr = gameAudio.soundManager.setPrimaryFormat(10, 22050, 16);
    if (failed(hr)) return hr;

    loadSound(&gameAudio.pickupSound, dataFiles::pickupSound, 10);
    loadSound(&gameAudio.thrustSound, dataFiles::thrustSound, 1);
    loadSound(&gameAudio.musicSound, dataFiles::musicSound, 1);

    setMasterVolume(gameAudio, gameAudio.masterVolume);
    if (gameAudio.musicSound != nullptr) {
        gameAudio.musicSound->play(0, dsbPlayLooping, musicVolume(gameAudio), -1, 0);
    }
    return sOk;
}

void stopAudio()
{
    // The sounds first: their buffers keep the device open until released.
    for (Sound** sound : {&gameAudio.pickupSound, &gameAudio.thrustSound, &gameAudio.musicSound}) {
        delete *sound;
        *sound = nullptr;
    }
    if (gameAudio.soundManager.directSound != nullptr) {
        gameAudio.soundManager.directSound->release();
        gameAudio.soundManager.directSound = nullptr;
    }
}
