#include "game/camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "offscreen_gl.h"
#include "physics/ship.h"

namespace {

Camera camera;
Ship ship;

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetCamera(camera);
        ship = Ship{};
    }
};

TEST_F(CameraTest, FirstFrameEasesTowardAShipAboveTheGlobe)
{
    OffscreenGl gl;
    ASSERT_TRUE(gl.ok());
    ship.body.position = Vector4{0.0f, 20.0f, 0.0f, 0.0f};

    cameraPass(camera, ship);

    // Target rows: right (−1, 0, 0), up (0, 0, −1), view (0, −1, 0); the
    // camera moves 10 % of the way from the identity.
    const Vector4 r0 = camera.cameraMatrix.row0();
    const Vector4 r1 = camera.cameraMatrix.row1();
    const Vector4 r2 = camera.cameraMatrix.row2();
    EXPECT_FLOAT_EQ(r0.x, 0.8f);
    EXPECT_FLOAT_EQ(r0.y, 0.0f);
    EXPECT_FLOAT_EQ(r0.z, 0.0f);
    EXPECT_FLOAT_EQ(r1.x, 0.0f);
    EXPECT_FLOAT_EQ(r1.y, 0.9f);
    EXPECT_FLOAT_EQ(r1.z, -0.1f);
    EXPECT_FLOAT_EQ(r2.x, 0.0f);
    EXPECT_FLOAT_EQ(r2.y, -0.1f);
    EXPECT_FLOAT_EQ(r2.z, 0.9f);
    EXPECT_EQ(camera.cameraMatrix.m[12], 0.0f);
    EXPECT_EQ(camera.cameraMatrix.m[15], 1.0f);

    EXPECT_FLOAT_EQ(camera.cameraPosition.x, 0.0f);
    EXPECT_FLOAT_EQ(camera.cameraPosition.y, 13.0f);
    EXPECT_FLOAT_EQ(camera.cameraPosition.z, 0.0f);

    // The view loaded into GL is the camera's rotation after moving the
    // camera to the origin.
    GLfloat view[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, view);
    EXPECT_FLOAT_EQ(view[0], 0.8f);
    EXPECT_FLOAT_EQ(view[13], -0.9f * 13.0f);
    EXPECT_FLOAT_EQ(view[14], 0.1f * 13.0f);

    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    for (int k = 0; k < 16; ++k) {
        const float expected = (k % 5 == 0) ? 1.0f : (k == 11 ? 1.3f : 0.0f);
        EXPECT_FLOAT_EQ(projection[k], expected) << k;
    }

    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    // The light is given in world space after the view: GL keeps it in eye
    // space, the view applied to (0, 0, −2000).
    GLfloat light[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, light);
    EXPECT_NEAR(light[0], 0.0f, 1e-3f);
    EXPECT_NEAR(light[1], -0.1f * -2000.0f + view[13], 1e-2f);
    EXPECT_NEAR(light[2], 0.9f * -2000.0f + view[14], 1e-2f);
    EXPECT_FLOAT_EQ(light[3], 1.0f);
}

TEST_F(CameraTest, CameraSettlesSixUnitsAboveTheShipLookingDown)
{
    OffscreenGl gl;
    ASSERT_TRUE(gl.ok());
    ship.body.position = Vector4{0.0f, 0.0f, 15.0f, 0.0f};
    for (int i = 0; i < 300; ++i) {
        cameraPass(camera, ship);
    }
    EXPECT_NEAR(camera.cameraPosition.x, 0.0f, 1e-4f);
    EXPECT_NEAR(camera.cameraPosition.y, 0.0f, 1e-4f);
    EXPECT_NEAR(camera.cameraPosition.z, 21.0f, 1e-4f);
    const Vector4 view = camera.cameraMatrix.row2();
    EXPECT_NEAR(view.z, -1.0f, 1e-4f);
    // The ship's nose (local −z) lies along −F; with the identity pose and the
    // ship on the z axis its radial part is removed, leaving the up axis
    // perpendicular to the view.
    EXPECT_NEAR(camera.cameraMatrix.row1().dot(view), 0.0f, 1e-4f);

    // Clear colour black and depth test less, as every frame sets them.
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0] + clear[1] + clear[2] + clear[3], 0.0f);
    GLint depthFunc = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    EXPECT_EQ(depthFunc, GL_LESS);
}

bool heldBitForBit(GLenum which, const Matrix4& m)
{
    GLfloat held[16];
    glGetFloatv(which, held);
    return std::memcmp(held, m.m, sizeof held) == 0;
}

// The world pass culls with the matrices the pass hands down, so they must
// be GL's own to the last bit: frame after frame of a turning ship, and where
// a zero's sign or an infinity meets the zeros of GL's identity.
TEST_F(CameraTest, HandsDownTheMatricesGlHolds)
{
    OffscreenGl gl;
    ASSERT_TRUE(gl.ok());
    ship.body.position = Vector4{3.0f, 20.0f, -7.0f, 0.0f};
    for (int frame = 0; frame < 40; ++frame) {
        Matrix4 turned;
        turned.setRotationY(0.2f * static_cast<float>(frame));
        ship.body.orientation = turned;
        const View view = cameraPass(camera, ship);
        ASSERT_TRUE(heldBitForBit(GL_MODELVIEW_MATRIX, view.modelview)) << frame;
        ASSERT_TRUE(heldBitForBit(GL_PROJECTION_MATRIX, view.projection)) << frame;
        ASSERT_EQ(std::memcmp(view.orientation.m, camera.cameraMatrix.m, sizeof camera.cameraMatrix.m), 0) << frame;
    }

    const float inf = std::numeric_limits<float>::infinity();
    const Matrix4 odd{{-0.0f, 2.0f, 0.0f, 1.0f,     // −0 over a positive: GL makes it +0
                       inf, 1.0f, 1.0f, 1.0f,       // 0 · ∞ fills the column with NaN
                       -1.0f, -2.0f, -0.0f, -4.0f,  // −0 among negatives stays −0
                       5.0f, 6.0f, 7.0f, 1.0f}};
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMultMatrixf(odd.m);
    const Matrix4 held = multipliedOntoIdentity(odd);
    EXPECT_TRUE(heldBitForBit(GL_MODELVIEW_MATRIX, held));
    EXPECT_FALSE(std::signbit(held.m[0]));
    EXPECT_TRUE(std::isnan(held.m[5]));
    EXPECT_TRUE(std::signbit(held.m[10]));
}

}  // namespace
