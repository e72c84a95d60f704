#include <algorithm>
#include <cmath>

#include "game/controls.h"
#include "app/messages.h"
#include "autopilot.h"
#include "game/game_flow.h"
#include "game_fixture.h"
#include "input/joystick.h"
#include "world/level.h"
#include "physics/ship.h"

namespace {

// A ship at rest on the shell over the north pole, nose toward −z, with a
// few pickups placed by the test.
struct Scene {
    Pickup pickups[4];
    AutopilotView view;

    Scene()
    {
        view.session.gameState = Playing;
        view.session.levelNumber = 2;
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

// The game flow tells which screen a frame shows and whether a press in it
// moves the game on (the title takes a held button, the level-complete and
// out-of-time screens only a fresh press, the final screen none); the
// autopilot presses Space exactly when one would.
TEST(Autopilot, OnScreensPressesSpaceOnlyWhenThePressWouldBeFresh)
{
    struct Case {
        GameState state;
        int level;
        Screen screen;
        bool takesPressAfterRelease;
        bool takesHeldButton;
    };
    const Case cases[] = {{Title, 0, Screen::title, true, true},
                          {LevelComplete, 4, Screen::nextLevel, true, false},
                          {OutOfTime, 3, Screen::outOfTime, true, false},
                          {Playing, gameCompleted, Screen::final, false, false},
                          {LevelComplete, 1, Screen::none, false, false},
                          {Playing, 3, Screen::none, false, false}};
    for (const Case& c : cases) {
        AutopilotView view;
        view.session.gameState = c.state;
        view.session.levelNumber = c.level;
        EXPECT_EQ(screenFor(view.session), c.screen) << c.state << " " << c.level;
        if (c.screen == Screen::none) {
            continue;
        }
        for (const int lastButton : {0, 0xE8}) {
            view.session.lastButton = lastButton;
            const bool takes = lastButton == 0 ? c.takesPressAfterRelease : c.takesHeldButton;
            EXPECT_EQ(screenTakesPress(view.session), takes) << c.state << " " << c.level << " " << lastButton;
            Autopilot pilot;
            EXPECT_EQ(pilot.next(view), (AutopilotKeys{false, false, false, false, takes}));
        }
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
        GameData& game = testGame();
        Ship& ship = game.world.ship;
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
            conditionControls(game.controls, gameController);
            std::int32_t& lX = gameController.joystickState.lX;
            ship.turnInput = static_cast<float>(lX);
            ship.step();
            lX = std::clamp(lX, -1000, 1000);

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
