#pragma once

#include <cstdint>

#include "game/frame_driver.h"
#include "input/joystick.h"
#include "math/matrix4.h"
#include "math/vector4.h"
#include "physics/ship.h"
#include "world/colour.h"
#include "world/globe_mesh.h"
#include "world/particle.h"
#include "world/pickup.h"
#include "world/world_draw.h"

// Everything a frame of play reads and changes outside GL: the ship, camera,
// pickups, particles, level counters, controls, the random generator and the
// sky. Capturing one and restoring it replays the same frames again, so a
// benchmark or a test can draw one stretch of play several times.
struct GameSnapshot {
    Ship ship;
    Matrix4 cameraMatrix;
    Vector4 cameraPosition;
    Pickup pickups[pickupCount];
    Particle particles[particleSlots];
    int particleHead = 0;
    int particleCount = 0;
    int levelNumber = 0;
    int collectedCount = 0;
    float levelTime = 0.0f;
    GameState gameState = Title;
    int score = 0;
    int lastButton = 0;
    int pickupSoundCount = 0;
    JoystickState joystickState{};
    int joystickUsable = 0;
    float keyForward = 0.0f;
    float keyTurn = 0.0f;
    float keyButton = 0.0f;
    int leftButtonDown = 0;
    std::uint32_t randState = 0;
    int worldFirstDraw = 0;
    Vector4 skyPositions[skySpriteCount];
    Colour skyColours[skySpriteCount];
    Vector4 miniGlobeValues[miniGlobeCount];

    // Copies the game's globals into a new snapshot (on the heap: it is large).
    static GameSnapshot* capture();
    // Puts them back.
    void restore() const;
};
