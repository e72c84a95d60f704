// The game's rendering set-up in an offscreen GL context, on the generated
// data files: the viewport, the fixed GL state, and six textures made anew on
// every run without leaking the previous run's.
#include "game/rendering_setup.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <iterator>

#include "data_folder.h"
#include "offscreen_gl.h"

namespace {

class RenderingSetUp : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(chdir(dataFolder().c_str()), 0) << dataFolder();
        ASSERT_TRUE(gl.ok());
    }

    OffscreenGl gl{64, 64};
    Textures textures;
    Display display;
};

std::array<GLint, 4> viewport()
{
    std::array<GLint, 4> v{};
    glGetIntegerv(GL_VIEWPORT, v.data());
    return v;
}

struct ViewportCase {
    int width;
    int height;
    std::array<GLint, 4> expected;
};

TEST_F(RenderingSetUp, TheViewportIsASquareOfTheWindowsWidth)
{
    const ViewportCase cases[] = {
        {1280, 1024, {0, -128, 1280, 1280}},
        {1024, 768, {0, -128, 1024, 1024}},
        {900, 900, {0, 0, 900, 900}},
        {768, 1024, {0, -128, 768, 768}},  // portrait: still moved down
        {1920, 1081, {0, -419, 1920, 1920}},  // odd difference truncates toward zero
    };
    for (const ViewportCase& c : cases) {
        setupRendering(textures, display, c.width, c.height);
        EXPECT_EQ(viewport(), c.expected) << c.width << "x" << c.height;
    }
}

TEST_F(RenderingSetUp, SetupLeavesTheFirstProjectionAndTheFixedState)
{
    setupRendering(textures, display, 1280, 1024);
    GLfloat p[16];
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    EXPECT_FLOAT_EQ(p[0], 1.0f);
    EXPECT_FLOAT_EQ(p[5], 1.0f);
    EXPECT_FLOAT_EQ(p[10], 2.0f / 10000.0f);
    EXPECT_FLOAT_EQ(p[14], -1.0f);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLint front = 0;
    glGetIntegerv(GL_FRONT_FACE, &front);
    EXPECT_EQ(front, GL_CW);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    GLfloat depthClear = 0.0f;
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &depthClear);
    EXPECT_EQ(depthClear, 1.0f);
    GLfloat diffuse[4];
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(diffuse[0], 0.5f);
    GLint shininess = 0;
    glGetMaterialiv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_EQ(shininess, 128);

    // Each texture holds its image: the earth and the spare ship copy have the
    // generated files' sizes, the same for both ship textures.
    GLint shipWidth = 0;
    GLint spareWidth = 0;
    glBindTexture(GL_TEXTURE_2D, textures[shipTexture]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &shipWidth);
    glBindTexture(GL_TEXTURE_2D, textures[spareShipTexture]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &spareWidth);
    EXPECT_GT(shipWidth, 0);
    EXPECT_EQ(spareWidth, shipWidth);
    GLint earthWidth = 0;
    glBindTexture(GL_TEXTURE_2D, textures[earthTexture]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &earthWidth);
    EXPECT_GT(earthWidth, 0);
}

TEST_F(RenderingSetUp, EveryRunMakesNewTexturesWithoutLeakingTheOldOnes)
{
    setupRendering(textures, display, 1280, 1024);
    const Textures before = textures;
    setupRendering(textures, display, 1280, 1024);
    for (unsigned int t : textures.names) {
        EXPECT_TRUE(glIsTexture(t)) << t;
    }
    for (unsigned int old : before.names) {
        if (std::find(std::begin(textures.names), std::end(textures.names), old) == std::end(textures.names)) {
            EXPECT_FALSE(glIsTexture(old)) << old;
        }
    }
}

}  // namespace
