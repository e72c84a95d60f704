#include "game/comfort.h"

#include <GL/gl.h>

#include "game/screen_text.h"

namespace {

constexpr int noticeShownFrames = 120;

// A press of a pad's button: held now, not held in the last frame.
bool pressed(bool held, bool& seen)
{
    const bool press = held && !seen;
    seen = held;
    return press;
}

// A key's press, taken once.
bool take(bool& pressedFlag)
{
    const bool press = pressedFlag;
    pressedFlag = false;
    return press;
}

void show(Comfort& comfort, Comfort::Notice notice)
{
    comfort.notice = notice;
    comfort.noticeFrames = noticeShownFrames;
}

// Ten marks in a row below the word, as many lit as the volume's steps.
void drawVolumeMarks(int volume)
{
    constexpr float width = 0.05f;
    constexpr float gap = 0.02f;
    constexpr float top = -0.68f;
    constexpr float bottom = -0.76f;
    const float left = -0.5f * (maxMasterVolume * (width + gap) - gap);
    glBegin(GL_QUADS);
    for (int i = 0; i < maxMasterVolume; ++i) {
        const float x = left + static_cast<float>(i) * (width + gap);
        if (i < volume) {
            glColor4f(0.0f, 0.0f, 1.0f, 1.0f);
        } else {
            glColor4f(0.0f, 0.0f, 0.25f, 1.0f);
        }
        glVertex3f(x, bottom, 0.0f);
        glVertex3f(x + width, bottom, 0.0f);
        glVertex3f(x + width, top, 0.0f);
        glVertex3f(x, top, 0.0f);
    }
    glEnd();
}

}  // namespace

ComfortPresses takePresses(Comfort& comfort, Controls& controls, const Controller& controller)
{
    const JoystickState& pad = controller.joystickState;
    ComfortPresses p;
    const bool start = pressed(pad.rgbButtons[startButton] != 0, comfort.startSeen);
    p.pause = take(controls.pausePressed) || start;
    p.quieter = take(controls.quieterPressed);
    p.louder = take(controls.louderPressed);
    p.music = take(controls.musicPressed);
    const bool buttonA = pressed(pad.rgbButtons[0] != 0, comfort.primarySeen);
    p.primary = take(controls.spacePressed) || buttonA;
    return p;
}

void applySoundKeys(Comfort& comfort, const ComfortPresses& presses, GameAudio& audio)
{
    if (comfort.noticeFrames > 0) {
        --comfort.noticeFrames;
    }
    if (presses.quieter || presses.louder) {
        setMasterVolume(audio, audio.masterVolume + (presses.louder ? 1 : 0) - (presses.quieter ? 1 : 0));
        show(comfort, Comfort::Notice::volume);
    }
    if (presses.music) {
        setMusicOn(audio, !audio.musicOn);
        show(comfort, Comfort::Notice::music);
    }
}

void drawNotice(const Comfort& comfort, const GameAudio& audio, const Display& display,
                const Textures& textures)
{
    if (comfort.noticeFrames == 0 || comfort.notice == Comfort::Notice::none) {
        return;
    }
    beginTextPass(display, textures);
    if (comfort.notice == Comfort::Notice::volume) {
        drawCentredText("volume", -0.6f, 0.05f, 0.05f);
        glDisable(GL_TEXTURE_2D);
        drawVolumeMarks(audio.masterVolume);
        glEnable(GL_TEXTURE_2D);
    } else {
        drawCentredText(audio.musicOn ? "music on" : "music off", -0.6f, 0.05f, 0.05f);
    }
    endTextPass(textures);
}

void drawPausedWord(const Display& display, const Textures& textures)
{
    beginTextPass(display, textures);
    drawCentredText("paused", 0.2f, 0.1f, 0.1f);
    endTextPass(textures);
}
