#include <algorithm>
#include <cmath>

#include "game/controls.h"
#include "app/messages.h"
#include "autopilot.h"
#include "game_fixture.h"
#include "input/joystick.h"
#include "physics/ship.h"

namespace {

// A ship at rest on the shell over the north pole, nose toward −z, with a
// few pickups placed by the test.
struct Scene {
    Pickup pickups[4];
    AutopilotView view;

    Scene()
    {
        view.gameState = Playing;
        view.levelNumber = 2;
        view.shipPosition = Vector4{0.0f, 15.0f, 0.0f, 0.0f};
        view.pickups = pickups;
        view.pickupCount = 4;
    }

    // Puts pickup i on the shell at the given azimuth seen from above the
    // pole: 0 is dead ahead (−z), positive angles toward +x.
    void place(int i, float degrees, float arc)
    {
        const float a = degrees * 3.14159265f / 180.0f;
        const float t = arc / 15.0f;
        pickups[i].position = Vector4{15.0f * std::sin(t) * std::sin(a), 15.0f * std::cos(t),
                                      -15.0f * std::sin(t) * std::cos(a), 0.0f};
    }
};

}  // namespace

TEST(Autopilot, OnScreensPressesSpaceOnlyWhenThePressWouldBeFresh)
{
    struct Case {
        GameState state;
        int level;
        bool screen;
    };
    const Case cases[] = {{Title, 0, true},         {LevelComplete, 4, true},
                          {OutOfTime, 3, true},     {Playing, 10, true},
                          {LevelComplete, 1, false}, {Playing, 3, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(autopilotSeesScreen(c.state, c.level), c.screen) << c.state << " " << c.level;
        if (!c.screen) {
            continue;
        }
        AutopilotView view;
        view.gameState = c.state;
        view.levelNumber = c.level;
        view.lastButton = 0;
        Autopilot pilot;
        EXPECT_EQ(pilot.next(view), (AutopilotKeys{false, false, false, false, true}));
        // A screen that saw the button held waits for its release; the title
        // screen takes a held button as it is.
        view.lastButton = 0xE8;
        EXPECT_EQ(pilot.next(view).space, c.state == Title) << c.state;
    }
}

// Each case from a fresh autopilot, so no earlier frame steers its turn.
AutopilotKeys firstKeys(const AutopilotView& view)
{
    Autopilot pilot;
    return pilot.next(view);
}

TEST(Autopilot, InPlayPushesTowardThePickupSoonestReached)
{
    Scene s;
    using K = AutopilotKeys;
    // Nothing left to collect: straight on, and Space is never held in play.
    EXPECT_EQ(firstKeys(s.view), (K{true, false, false, false, false}));

    s.place(0, 0.0f, 3.0f);  // dead ahead
    EXPECT_EQ(firstKeys(s.view), (K{true, false, false, false, false}));
    s.place(0, 7.0f, 3.0f);  // a little to the side: thrust while turning
    EXPECT_EQ(firstKeys(s.view), (K{true, false, true, false, false}));

    // The ship's row0 is +x; A turns the nose toward it, D away from it.
    // Well off the nose it turns without thrust.
    s.place(0, 60.0f, 3.0f);
    EXPECT_EQ(firstKeys(s.view), (K{false, false, true, false, false}));
    s.place(0, -60.0f, 3.0f);
    EXPECT_EQ(firstKeys(s.view), (K{false, false, false, true, false}));
    // Nearly behind on the +x side: reverse thrust pushes that way, and the
    // tail is turned onto it, which swings the nose toward −x.
    s.place(0, 173.0f, 3.0f);
    EXPECT_EQ(firstKeys(s.view), (K{false, true, false, true, false}));

    // Already flying toward a pickup ahead it keeps pushing; flying fast
    // away from one behind, the push needed is backward: S brakes.
    s.view.shipVelocity = Vector4{0.0f, 0.0f, 0.15f, 0.0f};  // toward +z, the tail
    s.place(0, 0.0f, 3.0f);
    EXPECT_TRUE(firstKeys(s.view).w);
    s.view.shipVelocity = Vector4{0.0f, 0.0f, -0.15f, 0.0f};
    s.place(0, 180.0f, 3.0f);
    EXPECT_TRUE(firstKeys(s.view).s);
    s.view.shipVelocity = Vector4{};

    // The nearer of two wins; collected pickups (parked at the origin) and
    // the ship's height above the shell do not count.
    s.place(0, -60.0f, 6.0f);
    s.place(1, 60.0f, 2.0f);
    s.pickups[2].position = Vector4{};
    s.view.shipPosition = Vector4{0.0f, 21.0f, 0.0f, 0.0f};
    EXPECT_TRUE(firstKeys(s.view).a);
    s.pickups[1].position = Vector4{};
    EXPECT_TRUE(firstKeys(s.view).d);

    // A pickup crossing ahead is met where it will be: one 3 units ahead
    // moving fast toward −x is aimed at to its −x side.
    s.pickups[0].position = Vector4{};
    s.place(1, 0.0f, 3.0f);
    s.pickups[1].velocity = Vector4{-0.2f, 0.0f, 0.0f, 0.0f};
    EXPECT_TRUE(firstKeys(s.view).d);
}

// Closes the loop through the game's own key handling, steering conditioning
// and flight model: keys chosen by the autopilot turn the nose onto a pickup
// that starts well off to either side.
TEST(Autopilot, ItsKeysTurnTheShipOntoThePickup)
{
    for (const float side : {70.0f, -70.0f}) {
        resetWholeGame();
        Autopilot pilot;
        ship.body.position = Vector4{0.0f, 15.0f, 0.0f, 0.0f};
        Scene s;
        s.place(0, side, 12.0f);
        AutopilotKeys held;
        float closest = 1e9f;
        for (int frame = 0; frame < 200; ++frame) {
            AutopilotView view = s.view;
            view.shipPosition = ship.body.position;
            view.shipOrientation = ship.body.orientation;
            const AutopilotKeys keys = pilot.next(view);
            if (keys.a != held.a) {
                keys.a ? keyDown('A') : keyUp('A');
            }
            if (keys.d != held.d) {
                keys.d ? keyDown('D') : keyUp('D');
            }
            held = keys;
            ship.thrustInput = 0.0f;  // turning on the spot keeps the geometry simple
            conditionControls();
            ship.turnInput = static_cast<float>(joystickState.lX);
            ship.step();
            joystickState.lX = std::clamp(joystickState.lX, -1000, 1000);

            Vector4 to = s.pickups[0].position;
            to.subtract(ship.body.position);
            // The bearing of the pickup in the ship's own horizontal plane.
            const float across = to.dot(ship.body.orientation.row0());
            const float ahead = -to.dot(ship.body.orientation.row2());
            closest = std::min(closest, std::fabs(std::atan2(across, ahead)));
        }
        EXPECT_LT(closest, 10.0f * 3.14159265f / 180.0f) << "pickup at " << side << " degrees";
    }
}
