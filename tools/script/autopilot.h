#pragma once

#include "game/game_data.h"
#include "input/joystick.h"
#include "math/matrix4.h"
#include "math/vector4.h"
#include "world/pickup.h"

// The autopilot plays with the keyboard alone: it only decides which of
// W, S, A, D and Space are held for the next frame. The caller turns changes
// between two decisions into key-down and key-up messages.
//
//   Autopilot pilot;                          // nothing held at start
//   each frame: held = pilot.next(autopilotViewOf(game, gameController));
//
// On a screen it holds Space, letting it go whenever the screen last saw it
// held, so that every press is a fresh one. In play it reads where the
// pickups are and how they move, as a player watching them would, and flies:
//
// - Chasing: it picks the pickup it can reach soonest, aiming where that
//   pickup will be when the ship gets there (a moving pickup keeps to its
//   great circle at its own speed). Along a ring or through a cluster this
//   sweeps from one neighbour to the next.
// - Steering: it wants to fly at top speed toward the aim point. The
//   difference between that velocity and the ship's is the push it needs;
//   thrust works both ways, so it turns the ship's axis onto that push,
//   whichever end is nearer, and holds W or S once it lies within 35°. A
//   push behind the nose is reverse thrust, which brakes for tight turns.
// - Waiting: on levels whose pickups all drift the same way, every pickup
//   keeps circling through one pole and back; there the autopilot flies to
//   that meeting point and holds still while they come to it, collects those
//   that would come too late on the way, and chases what is left at the end.
// - Sweeping (level 8): what is left after the wait lies on one loop out
//   from the meeting point and back; it leaves early and takes the pickups
//   in order along that loop, aiming twenty places ahead.
// It is deterministic: the same view and history give the same keys.
struct AutopilotKeys {
    bool w = false;
    bool s = false;
    bool a = false;
    bool d = false;
    bool space = false;

    bool operator==(const AutopilotKeys&) const = default;
};

// What the autopilot looks at; a test can fill one by hand.
struct AutopilotView {
    // Where the game stands: the level, its clock, and what a screen will do
    // (the game flow answers, game/game_flow.h).
    Session session;
    Vector4 shipPosition;
    Vector4 shipVelocity;
    Matrix4 shipOrientation;  // row0 the ship's side axis, −row2 its nose
    int steeringAxis = 0;     // the axis value the next frame is conditioned from
    const Pickup* pickups = nullptr;
    int pickupCount = 0;
};

// The view of a running game.
AutopilotView autopilotViewOf(const GameData& game, const Controller& controller);

class Autopilot {
public:
    // The keys to hold for the next frame.
    AutopilotKeys next(const AutopilotView& view);

private:
    void startLevel(const AutopilotView& view);

    int level_ = -1;        // the level the plan below is for
    int frame_ = 0;         // frames of play seen on this level
    int target_ = -1;       // the pickup being chased, or −1
    bool turnKnown_ = false;  // whether the two below are from the last frame
    Vector4 previousNose_;    // the nose and side axes one frame ago
    Vector4 previousSide_;
    bool reverse_ = false;  // thrusting along the tail rather than the nose
};
