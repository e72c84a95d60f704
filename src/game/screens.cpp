#include "game/screens.h"

#include <GL/gl.h>

#include "game/camera.h"
#include "game/controls.h"
#include "game/game_data.h"
#include "game/number_display.h"
#include "game/screen_text.h"
#include "math/vector4.h"

namespace {

// A number centred on x = −0.075 at height y (segment size 0.05).
void drawCentredNumber(int value, float y)
{
    drawNumber(value, Vector4{0.5f * numberWidth(value, 0.05f), y, 0.1f, 0.0f}, 0.05f);
}

// Every screen starts so: the camera pass clears the picture, then the text
// pass in screen space.
void beginScreen(GameData& game)
{
    cameraPass(game.camera, game.world.ship);
    glPopMatrix();
    glPushMatrix();
    beginTextPass(game.display, game.textures);
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
    endTextPass(game.textures);
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
    endTextPass(game.textures);
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
    endTextPass(game.textures);
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
    endTextPass(game.textures);
    finishScreen();
}
