#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "bmp_builder.h"
#include "offscreen_gl.h"
#include "world/globe_mesh.h"
#include "world/texture_loader.h"

namespace {

class TextureLoading : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gl.ok());
        dir = std::filesystem::temp_directory_path() /
              ("gf_world_textures_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string file(const char* name, const std::vector<unsigned char>& bytes)
    {
        const std::string path = (dir / name).string();
        EXPECT_TRUE(writeFile(path, bytes));
        return path;
    }

    GLint level0(GLenum what)
    {
        GLint value = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, what, &value);
        return value;
    }

    OffscreenGl gl;
    std::filesystem::path dir;
    GLuint texture = 0;
};

std::vector<unsigned char> smallImage()
{
    BmpLayout layout;
    layout.width = 3;
    layout.height = 2;
    // Bottom row: magenta, white, black; top row: three greys.
    return makeBmp(layout, {255, 0, 255, 255, 255, 255, 0, 0, 0, 10, 10, 10, 20, 20, 20, 30, 30, 30});
}

}  // namespace

TEST_F(TextureLoading, UploadsTheImageWithFixedParameters)
{
    const std::string path = file("small.bmp", smallImage());
    loadTexture(path.c_str(), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(level0(GL_TEXTURE_WIDTH), 3);
    EXPECT_EQ(level0(GL_TEXTURE_HEIGHT), 2);

    std::vector<unsigned char> back(3 * 2 * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, back.data());
    const unsigned char expected[] = {255, 0,  255, 0,   255, 255, 255, 255, 0,  0,  0,  255,
                                      10,  10, 10,  255, 20,  20,  20,  255, 30, 30, 30, 255};
    EXPECT_TRUE(std::equal(back.begin(), back.end(), expected));

    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_REPEAT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
    EXPECT_EQ(value, GL_REPEAT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(value, GL_MODULATE);
}

TEST_F(TextureLoading, DisplayListRecordsTheUploadAndCapturesHeightsWhileCompiling)
{
    const std::string path = file("earth.bmp", smallImage());
    globe.heightMap[512 * 1 + 0] = -1.0f;
    glNewList(1, GL_COMPILE);
    loadTexture(path.c_str(), 0, globe.heightMap);
    glEndList();
    // The heights were taken while compiling: white at column 1, row 0.
    EXPECT_EQ(globe.heightMap[512 * 1 + 0], 765.0f);
    EXPECT_EQ(globe.heightMap[512 * 2 + 0], 0.0f);
    EXPECT_EQ(globe.heightMap[512 * 2 + 1], 90.0f);
    EXPECT_EQ(level0(GL_TEXTURE_WIDTH), 0);  // nothing uploaded yet

    std::filesystem::remove(path);  // the list holds its own copy
    GLuint second = 0;
    glGenTextures(1, &second);
    glBindTexture(GL_TEXTURE_2D, second);
    glCallList(1);
    EXPECT_EQ(level0(GL_TEXTURE_WIDTH), 3);
    EXPECT_EQ(level0(GL_TEXTURE_HEIGHT), 2);

    // Without the flag nothing is captured.
    globe.heightMap[512 * 1 + 0] = -1.0f;
    const std::string again = file("moon.bmp", smallImage());
    loadTexture(again.c_str(), 0);
    EXPECT_EQ(globe.heightMap[512 * 1 + 0], -1.0f);
    globe.heightMap[512 * 1 + 0] = 0.0f;
}

TEST_F(TextureLoading, UnreadableFilesAreSkippedWithOneLine)
{
    struct Case {
        std::string path;
        const char* reason;
    };
    auto shortPixels = smallImage();
    shortPixels.resize(shortPixels.size() - 4);
    auto tooWide = smallImage();
    put32(tooWide, 18, 1u << 30);
    const Case cases[] = {
        {(dir / "absent.bmp").string(), "cannot be opened"},
        {file("stub.bmp", {'B', 'M', 0, 0}), "14-byte header"},
        {file("cut.bmp", shortPixels), "shorter than the image"},
        {file("wide.bmp", tooWide), "largest texture"},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        loadTexture(c.path.c_str(), 0);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(c.path), std::string::npos) << err;
        EXPECT_NE(err.find(c.reason), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_EQ(level0(GL_TEXTURE_WIDTH), 0) << c.path;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

TEST_F(TextureLoading, TopDownImageUploadsNoRowsWithoutAnError)
{
    BmpLayout layout;
    layout.width = 2;
    layout.height = -2;
    const std::string path = file("topdown.bmp", makeBmp(layout, std::vector<unsigned char>(12, 7)));
    loadTexture(path.c_str(), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(level0(GL_TEXTURE_HEIGHT), 0);
}
