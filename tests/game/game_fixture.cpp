#include "game_fixture.h"

#include <GL/gl.h>

#include <algorithm>

#include "game/camera.h"
#include "game/controls.h"
#include "game/frame_driver.h"
#include "app/messages.h"
#include "input/joystick.h"
#include "math/game_random.h"
#include "physics/ship.h"
#include "world/digit_segments.h"
#include "world/level.h"
#include "world/particle.h"
#include "world/pickup.h"
#include "world/world_draw.h"

void resetWholeGame()
{
    resetGameState();
    levelNumber = 0;
    collectedCount = 2000;
    levelTime = 0.0f;
    for (Pickup& p : pickups) {
        p = Pickup{};
    }
    for (Particle& p : particles) {
        p = Particle{};
    }
    particleHead = 0;
    particleCount = 0;
    ship = Ship{};
    randState = 1;
    joystickState = JoystickState{};
    joystickUsable = 0;
    keyForward = 0.0f;
    keyTurn = 0.0f;
    keyButton = 0.0f;
    leftButtonDown = 0;
    cameraMatrix = Matrix4{};
    cameraPosition = Vector4{};
    worldFirstDraw = 1;  // each test has a fresh context without the globe's lists
    const int masks[10] = {0x7B, 0x48, 0x3D, 0x6D, 0x4E, 0x67, 0x76, 0x49, 0x7F, 0x4F};
    std::copy(masks, masks + 10, digitSegments);
}

void keyDown(std::uint32_t key) { handleInputMessage(wmKeyDown, key, 0); }
void keyUp(std::uint32_t key) { handleInputMessage(wmKeyUp, key, 0); }

void startFirstLevel()
{
    keyDown(vkSpace);
    runFrame();  // title: the press starts the game
    keyUp(vkSpace);
    runFrame();  // sets up pattern 0
    runFrame();  // plays on level 1
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
