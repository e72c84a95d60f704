#include "app/window_proc.h"

#include <GL/gl.h>

#include "app/game.h"
#include "audio/audio_startup.h"
#include "audio/game_sounds.h"
#include "audio/sound_output.h"

namespace {

constexpr std::uint64_t vkF4 = 0x73;

// The player's volume and music, as kept, reach the sound before it starts.
void takeSoundSettings(const Settings& settings)
{
    gameAudio.masterVolume = settings.masterVolume;
    gameAudio.musicOn = settings.music;
}

// The volume and music keys change the sound; the settings keep up with it.
void keepSoundSettings(Host& host)
{
    const Settings& was = host.settings().values();
    if (was.masterVolume == gameAudio.masterVolume && was.music == gameAudio.musicOn) {
        return;  // most frames
    }
    Settings kept = was;
    kept.masterVolume = gameAudio.masterVolume;
    kept.music = gameAudio.musicOn;
    host.settings().update(kept);
}

std::int64_t onCreate(Host& host)
{
    takeSoundSettings(host.settings().values());
    // The music starts before the first picture.
    if (failed(startAudio())) {
        host.showErrorBox(audioErrorText, audioErrorCaption);
        return -1;  // creation abandoned; the program ends
    }

    host.game()->created();
    host.createRenderContext();
    host.game()->setupRendering(host.clientWidth(), host.clientHeight());
    return 0;
}

}  // namespace

std::int64_t defWindowProc(Host& host, std::uint32_t message, std::uint64_t wParam, std::int64_t lParam)
{
    switch (message) {
        case wmClose:
            host.destroyWindow();
            return 0;
        case wmSysKeyDown:
            if ((wParam & 0xFFFFu) == vkF4 && (lParam & keyAltFlag) != 0) {
                host.sendMessage(wmClose);
            }
            return 0;
        default:
            return 0;
    }
}

std::int64_t windowProc(Host& host, std::uint32_t message, std::uint64_t wParam, std::int64_t lParam)
{
    switch (message) {
        case wmCreate:
            return onCreate(host);
        case wmDestroy:
            // The context stays until the process ends; the sounds and the
            // sound device until the message loop is over (runGame).
            host.releaseRenderContext();
            host.postQuitMessage(0);
            return 0;
        case wmSize:
            // The picture follows the window's client area.
            host.game()->setupRendering(host.clientWidth(), host.clientHeight());
            return 0;
        case wmActivate: {
            // The sound is heard only while the window is the active one, and
            // play pauses when it stops being so.
            const bool inactive = (wParam & 0xFFFFu) == waInactive || (wParam >> 16) != 0;
            muteSoundOutput(inactive);
            host.game()->activated(!inactive);
            return 0;
        }
        case wmTimer:
            if (wParam == soundOutputTimer) {
                checkSoundOutput();
            }
            return 0;
        case wmPaint:
            // The window stays invalid, so the next paint follows at once.
            host.game()->frame();
            glFinish();
            host.presentFrame();
            keepSoundSettings(host);
            if (host.game()->finished()) {
                host.sendMessage(wmClose);
            }
            return 0;
        case wmSysKeyUp:
            // A game key let go of while Alt is held still lets it go; Alt
            // combinations themselves stay the system's.
            host.game()->input(message, wParam, lParam);
            return defWindowProc(host, message, wParam, lParam);
        default:
            if (isInputMessage(message)) {
                host.game()->input(message, wParam, lParam);
                return 0;
            }
            return defWindowProc(host, message, wParam, lParam);
    }
}
