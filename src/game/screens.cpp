#include "game/screens.h"

#include <GL/gl.h>

#include <cstring>

#include "game/camera.h"
#include "game/controls.h"
#include "game/game_data.h"
#include "game/number_display.h"
#include "math/matrix4.h"
#include "math/vector4.h"
#include "world/billboard.h"

namespace {

// Screens draw in normalised device coordinates: both matrices are the
// identity, and so is the view handed to the letters.
const Matrix4 screenView{};

// Blue lower-case text ending at anchor, with one empty letter slot at its
// right end: the last character sits two letter steps left of the anchor.
void drawScreenText(const char* text, float x, float y, float z, float h, float v)
{
    Vector4 position{x - 1.1f * h, y, z, 0.0f};
    const Billboard billboard;
    billboard.drawText(text, static_cast<int>(std::strlen(text)) - 1, position, h, v, screenView,
                       0.0f, 0.0f, 1.0f);
}

// A number centred on x = −0.075 at height y (segment size 0.05).
void drawCentredNumber(int value, float y)
{
    drawNumber(value, Vector4{0.5f * numberWidth(value, 0.05f), y, 0.1f, 0.0f}, 0.05f);
}

// Every screen starts so: the camera pass clears the picture, then both
// matrices are the identity and the font texture is drawn blended, with
// lighting and depth test off.
void beginScreen(GameData& game)
{
    cameraPass(game.camera, game.world.ship);
    glPopMatrix();
    glPushMatrix();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glEnable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, game.textures[fontTexture]);
}

// Back to the state a frame of play expects, the glow texture bound.
void endScreenDrawing(const Textures& textures)
{
    glDisable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, textures[particleTexture]);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
}

void finishScreen()
{
    glPopMatrix();
    glFlush();
}

}  // namespace

bool drawTitleScreen(GameData& game, const Controller& controller)
{
    beginScreen(game);
    drawScreenText("glimmerfall", 0.7f, 0.5f, 0.0f, 0.07f, 0.1f);
    drawScreenText("by vandrel", 0.625f, 0.0f, 0.0f, 0.07f, 0.1f);
    endScreenDrawing(game.textures);
    finishScreen();
    return primaryPressed(controller);
}

bool drawNextLevelScreen(GameData& game, const Controller& controller)
{
    const int levelNumber = game.session.levelNumber;
    beginScreen(game);
    drawScreenText("next level", 0.7f, 0.5f, 0.0f, 0.1f, 0.1f);
    drawScreenText("score", 0.4f, -0.25f, 0.1f, 0.1f, 0.1f);
    glColor4f(0.0f, 0.0f, 1.0f, 1.0f);
    // Placed with the width of size 0.1 but drawn at 0.05; a one-digit level
    // number lands at x = 0 either way.
    drawNumber(levelNumber, Vector4{0.5f * numberWidth(levelNumber, 0.1f), 0.25f, 0.1f, 0.0f},
               0.05f);
    drawCentredNumber(game.session.score, -0.5f);
    endScreenDrawing(game.textures);
    finishScreen();
    return primaryPressed(controller);
}

bool drawOutOfTimeScreen(GameData& game, const Controller& controller)
{
    beginScreen(game);
    drawScreenText("out of time", 0.7f, 0.5f, 0.0f, 0.1f, 0.1f);
    drawScreenText("score", 0.4f, 0.0f, 0.1f, 0.1f, 0.1f);
    // No colour of its own: the digits take the last letter's (0, 0, 1, 0.9).
    drawCentredNumber(game.session.score, -0.5f);
    endScreenDrawing(game.textures);
    finishScreen();
    return primaryPressed(controller);
}

void drawFinalScreen(GameData& game)
{
    beginScreen(game);
    drawScreenText("congratulations", 0.5f, 0.5f, 0.0f, 0.05f, 0.05f);
    drawScreenText("hope you enjoyed the game", 0.75f, 0.0f, 0.0f, 0.05f, 0.05f);
    drawScreenText("score", 0.4f, -0.25f, 0.1f, 0.1f, 0.1f);
    drawCentredNumber(game.session.score, -0.5f);
    endScreenDrawing(game.textures);
    finishScreen();
}
