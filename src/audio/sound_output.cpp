#include "audio/sound_output.h"

#include "audio/game_sounds.h"
#include "audio/sound_device.h"

namespace {

// Gives every lost buffer of the sound its memory back and refills it.
void restoreLostBuffers(Sound* sound)
{
    if (sound == nullptr) return;
    for (std::uint32_t i = 0; i < sound->bufferCount; ++i) {
        SoundBuffer* buffer = sound->getBuffer(i);
        bool restored = false;
        if (buffer != nullptr && !failed(sound->restoreBuffer(buffer, &restored)) && restored) {
            sound->fillBuffer(buffer);
        }
    }
}

}  // namespace

void muteSoundOutput(bool muted)
{
    SoundDevice* device = gameAudio.soundManager.directSound;
    if (device != nullptr) device->setMuted(muted);
}

void checkSoundOutput()
{
    SoundDevice* device = gameAudio.soundManager.directSound;
    if (device == nullptr || device->checkOutput() != sFalse) return;

    // A new output: every buffer was lost with the old one.
    restoreLostBuffers(gameAudio.pickupSound);
    restoreLostBuffers(gameAudio.thrustSound);
    restoreLostBuffers(gameAudio.musicSound);
    if (gameAudio.musicSound != nullptr) {
        gameAudio.musicSound->play(0, dsbPlayLooping, musicVolume(gameAudio), -1, 0);
    }
    // Once started the thrust loop never stops; at level 0 it is not heard,
    // and the next thrust starts it again as the first one did.
    SoundBuffer* loop = gameAudio.thrustSound != nullptr ? gameAudio.thrustSound->getBuffer(0) : nullptr;
    if (loop != nullptr && gameAudio.thrustLevel > 0) {
        loop->setVolume(gameAudio.thrustLevel - 5000);
        loop->play(0, 0, dsbPlayLooping);
    }
}
