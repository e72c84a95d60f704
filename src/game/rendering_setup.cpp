#include "game/rendering_setup.h"

#include <GL/gl.h>

#include "data_files.h"
#include "world/display_lists.h"
#include "world/world_draw.h"
#include "world/ragdoll.h"
#include "world/texture_loader.h"
#include "world/textures.h"

namespace {

// A list that holds one image upload.
void compileUpload(GLuint list, const char* fileName)
{
    glNewList(list, GL_COMPILE);
    loadTexture(fileName, 0);
    glEndList();
}

}  // namespace

SquareViewport squareViewport(int width, int height)
{
    const int d = width > height ? height - width : width - height;
    return SquareViewport{0, d / 2, width, width};
}

void setupRendering(Textures& textures, Display& display, int width, int height)
{
    display.overlayScale = overlayScale(width, height);

    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glClearDepth(100.0);  // clamped to 1
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);

    // The earth image also fills the globe's height map while it loads.
    glNewList(earthImageList, GL_COMPILE);
    loadTexture(dataFiles::earthImage, 0, globeHeightMap());
    glEndList();
    compileUpload(moonImageList, dataFiles::moonImage);
    compileUpload(particleImageList, dataFiles::particleImage);
    compileUpload(shipImageList, dataFiles::shipImage);
    compileUpload(fontImageList, dataFiles::fontImage);

    // Every set-up makes new textures; the previous run's go first, so that
    // resizing never leaks them (names of 0 are ignored).
    glDeleteTextures(textureCount, textures.names);
    glGenTextures(textureCount, textures.names);
    constexpr GLuint uploads[textureCount] = {earthImageList, moonImageList, particleImageList,
                                              fontImageList, shipImageList, shipImageList};
    for (int i = 0; i < textureCount; ++i) {
        glBindTexture(GL_TEXTURE_2D, textures.names[i]);
        glCallList(uploads[i]);
    }

    glFrontFace(GL_CW);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);

    const GLfloat ambient[4] = {0.01f, 0.01f, 0.05f, 1.0f};
    const GLfloat diffuse[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat lightPosition[4] = {0.0f, 0.0f, 40.0f, 1.0f};  // each frame moves it
    glEnable(GL_LIGHTING);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glMaterialfv(GL_FRONT, GL_SPECULAR, white);
    glMateriali(GL_FRONT, GL_SHININESS, 128);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
    glLightModelf(GL_LIGHT_MODEL_LOCAL_VIEWER, 1.0f);

    buildRagdollCrowd();

    // A square of the window's width, centred vertically on a wide one.
    const SquareViewport v = squareViewport(width, height);
    glViewport(v.x, v.y, v.width, v.height);

    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1.0, 1.0, -1.0, 1.0, 0.0, -10000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
