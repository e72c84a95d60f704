#include "game_fixture.h"

#include <GL/gl.h>

#include <algorithm>
#include <memory>

#include "app/messages.h"
#include "game/controls.h"
#include "game/frame_driver.h"
#include "game/game_snapshot.h"
#include "input/joystick.h"
#include "world/digit_segments.h"

GameData& testGame()
{
    static GameData game;
    return game;
}

void resetWholeGame()
{
    static const auto start = std::make_unique<const GameSnapshot>();
    start->restore(testGame());
    gameController.joystickUsable = 0;
    const int masks[10] = {0x7B, 0x48, 0x3D, 0x6D, 0x4E, 0x67, 0x76, 0x49, 0x7F, 0x4F};
    std::copy(masks, masks + 10, digitSegments);
}

void keyDown(std::uint32_t key) { handleInputMessage(testGame().controls, gameController, wmKeyDown, key, 0); }
void keyUp(std::uint32_t key) { handleInputMessage(testGame().controls, gameController, wmKeyUp, key, 0); }

void startFirstLevel()
{
    keyDown(vkSpace);
    runFrame(testGame());  // title: the press starts the game
    keyUp(vkSpace);
    runFrame(testGame());  // sets up pattern 0
    runFrame(testGame());  // plays on level 1
}

namespace {

constexpr int vertexFloats = 3 + 4 + 4;  // GL_3D_COLOR_TEXTURE: xyz, rgba, strq

}  // namespace

void parseFeedback(const std::vector<float>& b, int size, std::vector<FeedbackLine>& lines,
                   std::vector<FeedbackPolygon>& polygons)
{
    int i = 0;
    while (i < size) {
        const int token = static_cast<int>(b[i++]);
        if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            const float* v0 = &b[i];
            const float* v1 = &b[i + vertexFloats];
            lines.push_back({v0[0], v0[1], v1[0], v1[1], v0[3], v0[4], v0[5], v0[6]});
            i += 2 * vertexFloats;
        } else if (token == GL_POLYGON_TOKEN) {
            const int n = static_cast<int>(b[i++]);
            FeedbackPolygon p{b[i], b[i], b[i + 1], b[i + 1], b[i + 3], b[i + 4], b[i + 5],
                              b[i + 6]};
            for (int k = 0; k < n; ++k) {
                const float* v = &b[i + k * vertexFloats];
                p.minX = std::min(p.minX, v[0]);
                p.maxX = std::max(p.maxX, v[0]);
                p.minY = std::min(p.minY, v[1]);
                p.maxY = std::max(p.maxY, v[1]);
            }
            polygons.push_back(p);
            i += n * vertexFloats;
        } else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN ||
                   token == GL_DRAW_PIXEL_TOKEN || token == GL_COPY_PIXEL_TOKEN) {
            i += vertexFloats;
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            i += 1;
        } else {
            return;
        }
    }
}
