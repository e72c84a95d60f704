#include "game/clock_display.h"

#include <GL/gl.h>

#include "game/number_display.h"
#include "game/screen_text.h"
#include "math/matrix4.h"
#include "world/billboard.h"
#include "world/level.h"

void drawClock(const Session& session, const Textures& textures, const Display& display)
{
    beginOverlay(display);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    // Set here and never again: the screens' numbers are drawn this wide too.
    glLineWidth(10.0f);
    glColor4f(0.0f, 0.0f, 1.0f, 1.0f);

    const int remaining = static_cast<int>(
        static_cast<float>(levelTimeLimits[session.levelNumber]) - session.levelTime);
    drawNumber(remaining, Vector4{0.3f, 0.5f, 0.1f, 0.0f}, 0.05f);

    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, textures[fontTexture]);
    const Matrix4 view{};
    Vector4 anchor{0.0f, 0.5f, 0.0f, 0.0f};
    const Billboard billboard;
    billboard.drawText("time", 3, anchor, 0.1f, 0.1f, view, 0.0f, 0.0f, 1.0f);

    // Back to what a frame of play expects; the glow stays bound for the
    // next world pass and for the screens.
    endTextPass(textures);
}
