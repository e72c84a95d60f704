#include "game/overlay.h"

#include <GL/gl.h>

namespace {

// The widest shape the layout was made for.
constexpr float layoutHeightOverWidth = 0.8f;

}  // namespace

float overlayScale(int width, int height)
{
    if (width <= 0 || height <= 0) {
        return 1.0f;
    }
    const float heightOverWidth = static_cast<float>(height) / static_cast<float>(width);
    return heightOverWidth < layoutHeightOverWidth ? heightOverWidth / layoutHeightOverWidth : 1.0f;
}

void beginOverlay(const Display& display)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (display.overlayScale != 1.0f) {
        glScalef(display.overlayScale, display.overlayScale, 1.0f);
    }
}
