#include "world/texture_loader.h"

#include <GL/gl.h>

#include <cstdio>


namespace {

// Used if the renderer cannot tell its limit (OpenGL 1.1 guarantees 64).
constexpr int fallbackTextureSize = 1024;

int textureSizeLimit()
{
    GLint size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    return size > 0 ? size : fallbackTextureSize;
}

void skip(const char* fileName, BitmapError error)
{
    std::fprintf(stderr, "glimmerfall: texture \"%s\" skipped: %s\n", fileName,
                 bitmapErrorText(error));
}

}  // namespace

void uploadTexture(const RgbaImage& image, int level)
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glTexImage2D(GL_TEXTURE_2D, level, 4, image.width, image.height, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, image.pixels.data.get());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

void loadTexture(const char* fileName, int level, float* heightMap)
{
    BitmapFile file;
    BitmapError error = readBitmapFile(fileName, textureSizeLimit(), file);
    if (error != BitmapError::none) {
        skip(fileName, error);
        return;
    }
    RgbaImage image;
    error = convertBitmap(file, image, heightMap);
    if (error != BitmapError::none) {
        skip(fileName, error);
        return;
    }
    uploadTexture(image, level);
    // The image, info and pixel blocks are freed here.
}
