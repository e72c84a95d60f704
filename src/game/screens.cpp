#include "game/screens.h"

#include <GL/gl.h>

#include <optional>

#include "game/camera.h"
#include "game/controls.h"
#include "game/game_data.h"
#include "game/number_display.h"
#include "game/screen_text.h"
#include "world/level.h"
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

// A best score under the screen's own lines, where none of them is drawn:
// "best" (or "new best" when this game set it) and the score, in smaller
// letters and digits. Nothing when there is no best yet.
void drawBest(const std::optional<Record>& best, bool isNew, float y)
{
    if (!best && !isNew) {
        return;
    }
    constexpr float h = 0.045f;
    constexpr float e = 0.035f;
    drawScreenText(isNew ? "new best" : "best", 0.0f, y, 0.0f, h, h);
    const int value = best ? static_cast<int>(best->score) : 0;
    glColor4f(0.0f, 0.0f, 1.0f, 1.0f);
    drawNumber(value, Vector4{0.03f + numberWidth(value, e) + 1.5f * e + 0.5f * e, y, 0.0f, 0.0f}, e);
}

constexpr float bestLine = -0.72f;  // below every line the screens draw

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
    if (game.best.records.game) {
        // Before any play the lines are as thin as GL starts them; the in-play
        // clock sets 10 later anyway.
        glLineWidth(10.0f);
        drawBest(game.best.records.game, false, -0.5f);
    }
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
    // The level just cleared: its best bonus, marked when this was it.
    const int cleared = levelNumber - 1;
    if (cleared >= 1 && cleared <= levelCount) {
        glEnable(GL_TEXTURE_2D);
        drawBest(game.best.records.levels[static_cast<std::size_t>(cleared - 1)], game.best.newLevelBest, bestLine);
    }
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
    if (game.best.records.game) {
        glEnable(GL_TEXTURE_2D);
        drawBest(game.best.records.game, game.best.newGameBest, bestLine);
    }
    endTextPass(game.textures);
    finishScreen();
}
