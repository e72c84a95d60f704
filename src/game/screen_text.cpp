#include "game/screen_text.h"

#include <GL/gl.h>

#include <cstring>

#include "math/matrix4.h"
#include "math/vector4.h"
#include "world/billboard.h"

namespace {

// Texts are drawn in normalised device coordinates: the view handed to the
// letters is the identity.
const Matrix4 screenView{};

constexpr float letterPitch = 1.1f;  // in letter half widths

}  // namespace

void drawScreenText(const char* text, float x, float y, float z, float h, float v)
{
    Vector4 position{x - letterPitch * h, y, z, 0.0f};
    const Billboard billboard;
    billboard.drawText(text, static_cast<int>(std::strlen(text)) - 1, position, h, v, screenView, 0.0f, 0.0f,
                       1.0f);
}

void drawCentredText(const char* text, float y, float h, float v)
{
    // The last letter's centre is two steps left of the anchor, the first
    // n − 1 steps further: halfway between them is the middle.
    const float steps = 2.0f + 0.5f * static_cast<float>(std::strlen(text) - 1);
    drawScreenText(text, steps * letterPitch * h, y, 0.0f, h, v);
}

void beginTextPass(const Display& display, const Textures& textures)
{
    beginOverlay(display);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, textures[fontTexture]);
}

void endTextPass(const Textures& textures)
{
    glDisable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, textures[particleTexture]);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
}
