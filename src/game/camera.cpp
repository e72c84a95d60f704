#include "game/camera.h"

#include <GL/gl.h>

namespace {

constexpr float cameraHeight = 6.0f;      // above the ship, away from the globe's centre
constexpr float orientationEase = 0.1f;   // share of the way to the target turn per frame
constexpr float positionEase = 0.5f;      // share of the way to the target point per frame
constexpr float perspective = 1.3f;       // w = 1.3 z + 1

}  // namespace

void resetCamera(Camera& camera)
{
    camera.cameraMatrix = Matrix4{};
    camera.cameraPosition.x = 0.0f;
    camera.cameraPosition.y = 0.0f;
    camera.cameraPosition.z = 0.0f;
}

View cameraPass(Camera& camera, const Ship& ship)
{
    easeCamera(camera, ship);
    return loadView(camera);
}

void easeCamera(Camera& camera, const Ship& ship)
{
    Matrix4& cameraMatrix = camera.cameraMatrix;
    Vector4& cameraPosition = camera.cameraPosition;
    const Vector4 shipPosition = ship.body.position;
    const Vector4 shipTail = ship.body.orientation.row2();

    // The target looks straight down at the globe, with the ship's nose
    // (its radial part removed) up the screen.
    Matrix4 target;
    Vector4 down{};
    down.subtract(shipPosition);
    down.normalize();
    target.setRow2(down.x, down.y, down.z);

    Vector4 up{};
    up.subtract(shipTail);
    target.setRow1(up.x, up.y, up.z);

    Vector4 right = up.cross(target.row2());
    right.normalize();
    target.setRow0(right.x, right.y, right.z);

    Vector4 trueUp = down.cross(right);
    trueUp.normalize();
    target.setRow1(trueUp.x, trueUp.y, trueUp.z);

    cameraMatrix = cameraMatrix.blendRotation(target, orientationEase);

    Vector4 goal{};
    goal.subtract(target.row2());
    goal.scale(cameraHeight);
    goal.add(shipPosition);
    cameraPosition.x += positionEase * (goal.x - cameraPosition.x);
    cameraPosition.y += positionEase * (goal.y - cameraPosition.y);
    cameraPosition.z += positionEase * (goal.z - cameraPosition.z);
}

View loadView(const Camera& camera)
{
    const Matrix4& cameraMatrix = camera.cameraMatrix;
    const Vector4& cameraPosition = camera.cameraPosition;

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glDepthFunc(GL_LESS);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    Matrix4 shrink;
    shrink.m[11] = perspective;
    Matrix4 projection;
    projection.multiply(shrink);

    Matrix4 toCamera;
    toCamera.setTranslation(-cameraPosition.x, -cameraPosition.y, -cameraPosition.z);
    Matrix4 view = cameraMatrix;
    view.multiply(toCamera);
    glMultMatrixf(view.m);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMultMatrixf(projection.m);

    // Given after the view is loaded, so the light sits at the glow's place in
    // the world, (0, 0, −2000).
    const GLfloat lightPosition[4] = {0.0f, 0.0f, -2000.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);

    glMatrixMode(GL_MODELVIEW);
    return View{cameraMatrix, multipliedOntoIdentity(view), multipliedOntoIdentity(projection)};
}
