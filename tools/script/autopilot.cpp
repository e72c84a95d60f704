#include "autopilot.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "game/game_flow.h"
#include "physics/shell.h"
#include "physics/ship.h"
#include "world/level.h"

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double topSpeed = 0.153;      // units a frame at full thrust
constexpr double thrustPerFrame = 0.01536;
constexpr double chaseSpeed = 0.15;     // a fair average along the shell
const double flipCosine = std::cos(110.0 * pi / 180.0);

struct V {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    V operator+(const V& o) const { return {x + o.x, y + o.y, z + o.z}; }
    V operator-(const V& o) const { return {x - o.x, y - o.y, z - o.z}; }
    V operator*(double s) const { return {x * s, y * s, z * s}; }
    double dot(const V& o) const { return x * o.x + y * o.y + z * o.z; }
    double length() const { return std::sqrt(dot(*this)); }
    V unit() const
    {
        const double l = length();
        return l > 1e-12 ? *this * (1.0 / l) : V{};
    }
    // The part across the unit vector n.
    V across(const V& n) const { return *this - n * dot(n); }
};

V toV(const Vector4& v) { return {v.x, v.y, v.z}; }

double angleBetween(const V& a, const V& b)
{
    const double c = a.dot(b);
    return std::acos(c > 1.0 ? 1.0 : c < -1.0 ? -1.0 : c);
}

// A pickup as it moves: it keeps to the great circle through its position
// along its velocity, at that velocity's speed across the radius (the spring
// and the damping act along the radius only).
struct Orbit {
    V start;       // unit direction now
    V heading;     // unit direction of travel, across start; zero at rest
    double rate = 0.0;  // radians a frame

    explicit Orbit(const Pickup& p)
    {
        start = toV(p.position).unit();
        const V travel = toV(p.velocity).across(start);
        const double speed = travel.length();
        if (speed > 1e-7) {
            heading = travel * (1.0 / speed);
            rate = speed / shellRadius;
        }
    }

    V at(double frames) const
    {
        if (rate == 0.0) {
            return start;
        }
        const double a = rate * frames;
        return start * std::cos(a) + heading * std::sin(a);
    }

    // Frames until it passes within `slack` (radians) of the unit point p,
    // or a negative value when its circle misses p.
    double framesTo(const V& p, double slack) const
    {
        if (rate == 0.0) {
            return angleBetween(start, p) < slack ? 0.0 : -1.0;
        }
        const V normal{start.y * heading.z - start.z * heading.y, start.z * heading.x - start.x * heading.z,
                       start.x * heading.y - start.y * heading.x};
        if (std::fabs(p.dot(normal)) > std::sin(slack)) {
            return -1.0;
        }
        double along = std::atan2(p.dot(heading), p.dot(start));
        if (along < -slack) {
            along += 2.0 * pi;
        }
        return along < 0.0 ? 0.0 : along / rate;
    }
};

// How each level is flown. On a waiting level the pickups drift in groups
// that each share one velocity, so every pickup of a group keeps circling
// through the group's pole and its opposite. The ship waits at each stop in
// turn while pickups will still pass it before the stop's last frame, first
// fetching (when fetchFirst) those that would never come in time; then it
// chases whatever is left.
struct Stop {
    V meet;
    int until = 1 << 30;  // frame of the level at which the stop is given up
};

struct Plan {
    Stop stops[4];
    int stopCount = 0;
    bool fetchFirst = false;
    // Chasing: frames added per frame of full thrust the change of course
    // would take; W or S only while the push lies within thrustCone degrees
    // of the axis (thrusting further off sets the ship circling).
    double turnWeight = 4.0;
    double thrustCone = 10.0;
    // Sweeping: instead of chasing the pickup reachable soonest, take what is
    // left in order along the loop it lies on. Each pickup's circle is named
    // by its axis; the order is the angle of that axis from sweepCentre
    // toward sweepSide. Zero vectors: no sweep.
    V sweepCentre;
    V sweepSide;
    int lookAhead = 0;  // aim at the pickup this many places further on
};

Plan planFor(int levelNumber)
{
    Plan plan;
    const double h = std::sqrt(0.5);
    switch (levelNumber) {
        case 3:  // the equator ring falls south, and all meet over the north pole
            plan.stops[0] = {{0.0, 1.0, 0.0}};
            plan.stopCount = 1;
            break;
        case 4:  // everything drifts toward +z; a few near −z would come too late
            plan.stops[0] = {{0.0, 0.0, 1.0}, 5000};
            plan.stopCount = 1;
            plan.fetchFirst = true;
            break;
        case 8:  // the pole ring drifts toward (2, 5, 0)
            // Some 210 would reach the meeting point only after the 1500
            // frames. They and those still to come lie on one loop out from
            // it and back, ordered along it by the axis of their circles
            // (the tip's circle turns about +z). Leaving at frame 800, while
            // the loop is still short, and sweeping it end to end at top
            // speed takes some 620 frames; waiting longer only stretches it.
            plan.stops[0] = {V{2.0, 5.0, 0.0}.unit(), 800};
            plan.stopCount = 1;
            plan.sweepCentre = {0.0, 0.0, 1.0};
            plan.sweepSide = V{5.0, -2.0, 0.0}.unit();
            plan.lookAhead = 20;
            plan.thrustCone = 20.0;
            break;
        case 7:  // the equator ring drifts north and sideways, stretching as it goes
            plan.turnWeight = 0.5;
            plan.thrustCone = 35.0;
            break;
        case 9:  // four rings of 500, each drifting its own way
            plan.stops[0] = {{0.0, h, h}, 720};
            plan.stops[1] = {{-h, 0.0, -h}, 1670};
            plan.stops[2] = {{0.0, h, -h}, 3550};
            plan.stops[3] = {{h, 0.0, -h}, 5440};
            plan.stopCount = 4;
            break;
        default:
            break;
    }
    return plan;
}

// How far the nose still swings toward +row0 when no steering key is held
// from now on: the axis value falls by the dead zone each frame, the spin
// takes 3.6e-6 per unit of it (a positive value turns toward −row0) and
// keeps 0.88979 of itself.
double swingAfterRelease(int axis, double rate)
{
    double x = axis;
    double swing = 0.0;
    for (int k = 0; k < 40; ++k) {
        x = std::fabs(x) < 200.0 ? 0.0 : x > 0.0 ? x - 200.0 : x + 200.0;
        rate = 0.88979 * rate - 3.6e-6 * x;
        swing += rate;
        x = std::fmax(-1000.0, std::fmin(1000.0, x));
    }
    return swing;
}

bool collected(const Pickup& p) { return p.position.lengthSquared() < 1e-6f; }

int framesLeft(const AutopilotView& view)
{
    const int level = view.session.levelNumber;
    const int limit = level >= 1 && level <= levelCount ? levelTimeLimits[level] : 0;
    return static_cast<int>(std::lround((static_cast<double>(limit) - view.session.levelTime) * 10.0));
}

}  // namespace

AutopilotView autopilotViewOf(const GameData& game, const Controller& controller)
{
    AutopilotView view;
    view.session = game.session;
    view.shipPosition = game.world.ship.body.position;
    view.shipVelocity = game.world.ship.body.velocity;
    view.shipOrientation = game.world.ship.body.orientation;
    view.steeringAxis = controller.joystickState.lX;
    view.pickups = game.world.pickups;
    view.pickupCount = pickupCount;
    return view;
}

void Autopilot::startLevel(const AutopilotView& view)
{
    level_ = view.session.levelNumber;
    target_ = -1;
    turnKnown_ = false;
    reverse_ = false;
}

AutopilotKeys Autopilot::next(const AutopilotView& view)
{
    AutopilotKeys keys;
    if (screenFor(view.session) != Screen::none) {
        // The level-complete and out-of-time screens move on only on a fresh
        // press: a button they saw held is let go first. Going by what the
        // screen saw rather than by a fixed rhythm matters because the loop
        // runs two frames per turn and takes one message a turn, so a
        // release and the next press can land between the same two frames.
        keys.space = screenTakesPress(view.session);
        level_ = -1;
        return keys;
    }
    if (view.session.levelNumber != level_ || view.session.levelTime < 0.05f) {
        startLevel(view);
    }
    frame_ = static_cast<int>(std::lround(view.session.levelTime * 10.0));
    const int left = framesLeft(view);

    const V shipAt = toV(view.shipPosition);
    const V up = shipAt.unit();
    const V velocity = toV(view.shipVelocity).across(up);

    // The stop to wait at: the first not yet given up that some pickup will
    // still pass in time.
    const Plan plan = planFor(view.session.levelNumber);
    const double slack = 0.3 / shellRadius;
    const Stop* stop = nullptr;
    int late = 0;
    auto comesInTime = [&](const Orbit& o, const Stop& at) {
        const double t = o.framesTo(at.meet, slack);
        return t >= 0.0 && t < left - 15 && t < at.until - frame_;
    };
    for (int k = 0; k < plan.stopCount && stop == nullptr; ++k) {
        if (frame_ >= plan.stops[k].until) {
            continue;
        }
        int coming = 0;
        late = 0;
        // One pickup still to come is enough, unless those that will not
        // come are to be fetched first.
        for (int i = 0; i < view.pickupCount && (coming == 0 || plan.fetchFirst); ++i) {
            if (!collected(view.pickups[i])) {
                (comesInTime(Orbit(view.pickups[i]), plan.stops[k]) ? coming : late) += 1;
            }
        }
        if (coming > 0) {
            stop = &plan.stops[k];
        }
    }
    const bool lateOnly = stop != nullptr && plan.fetchFirst && late > 0 && frame_ < 600;
    const bool waiting = stop != nullptr && !lateOnly;

    V aim;
    double speed = topSpeed;
    if (waiting) {
        aim = stop->meet;
        const double distance = angleBetween(up, aim) * shellRadius;
        speed = std::fmin(topSpeed, 0.04 * distance);
        target_ = -1;
    } else if (plan.sweepCentre.dot(plan.sweepCentre) > 0.0) {
        // In order along the loop, aiming a few places on where that pickup
        // will be when the ship gets there.
        std::vector<std::pair<double, int>> order;
        for (int i = 0; i < view.pickupCount; ++i) {
            const Pickup& p = view.pickups[i];
            if (collected(p)) {
                continue;
            }
            const Orbit orbit(p);
            const V axis{orbit.start.y * orbit.heading.z - orbit.start.z * orbit.heading.y,
                         orbit.start.z * orbit.heading.x - orbit.start.x * orbit.heading.z,
                         orbit.start.x * orbit.heading.y - orbit.start.y * orbit.heading.x};
            order.emplace_back(std::atan2(axis.dot(plan.sweepSide), axis.dot(plan.sweepCentre)), i);
        }
        if (order.empty()) {
            keys.w = true;
            return keys;
        }
        std::sort(order.begin(), order.end());
        const Orbit orbit(view.pickups[order[std::min<std::size_t>(plan.lookAhead, order.size() - 1)].second]);
        double t = angleBetween(up, orbit.start) * shellRadius / chaseSpeed;
        aim = orbit.start;
        for (int k = 0; k < 3 && orbit.rate != 0.0; ++k) {
            aim = orbit.at(t);
            t = angleBetween(up, aim) * shellRadius / chaseSpeed;
        }
        target_ = -1;
    } else {
        // The pickup reachable soonest, aiming where it will be then. The
        // one being chased keeps its place unless another is clearly sooner.
        int best = -1;
        double bestCost = 0.0;
        V bestAim;
        double targetCost = -1.0;
        V targetAim;
        for (int i = 0; i < view.pickupCount; ++i) {
            const Pickup& p = view.pickups[i];
            if (collected(p)) {
                continue;
            }
            const Orbit orbit(p);
            if (lateOnly && comesInTime(orbit, *stop)) {
                continue;
            }
            double t = angleBetween(up, orbit.start) * shellRadius / chaseSpeed;
            V there = orbit.start;
            for (int k = 0; k < 3 && orbit.rate != 0.0; ++k) {
                there = orbit.at(t);
                t = angleBetween(up, there) * shellRadius / chaseSpeed;
            }
            const V way = there.across(up).unit();
            const double turn = (way * topSpeed - velocity).length() / thrustPerFrame;
            const double cost = t + plan.turnWeight * turn;
            if (i == target_) {
                targetCost = cost;
                targetAim = there;
            }
            if (best < 0 || cost < bestCost) {
                best = i;
                bestCost = cost;
                bestAim = there;
            }
        }
        if (best < 0) {
            keys.w = true;
            return keys;
        }
        if (targetCost >= 0.0 && targetCost < bestCost + 4.0) {
            aim = targetAim;
        } else {
            target_ = best;
            aim = bestAim;
        }
    }

    // The push needed: top speed toward the aim point, less the velocity the
    // ship has. Thrust pushes along the ship's axis either way.
    const V wanted = aim.across(up).unit() * speed;
    const V push = wanted - velocity;
    const V nose = (toV(view.shipOrientation.row2()) * -1.0).across(up).unit();
    const V side = toV(view.shipOrientation.row0()).across(up).unit();
    const double pushSize = push.length();

    // How fast the nose swings toward +row0, measured from the last frame.
    double rate = 0.0;
    if (turnKnown_) {
        rate = std::atan2(nose.dot(toV(previousSide_)), nose.dot(toV(previousNose_)));
    }
    previousNose_ = Vector4{static_cast<float>(nose.x), static_cast<float>(nose.y), static_cast<float>(nose.z), 0.0f};
    previousSide_ = Vector4{static_cast<float>(side.x), static_cast<float>(side.y), static_cast<float>(side.z), 0.0f};
    turnKnown_ = true;
    if (pushSize < 0.004) {
        return keys;
    }
    const V pushDirection = push * (1.0 / pushSize);
    const double along = pushDirection.dot(nose);
    if (!reverse_ && along < flipCosine) {
        reverse_ = true;
    } else if (reverse_ && along > -flipCosine) {
        reverse_ = false;
    }
    const V axis = reverse_ ? pushDirection * -1.0 : pushDirection;
    const double error = std::atan2(axis.dot(side), axis.dot(nose));
    if (std::cos(error) > std::cos(plan.thrustCone * pi / 180.0)) {
        (reverse_ ? keys.s : keys.w) = true;
    }

    // Turning lags: the axis value ramps up over three frames and the spin
    // fades by a ninth a frame, so the nose keeps swinging after the key is
    // let go. Steer by what is left of the error once that swing has run out.
    const double left_error = error - swingAfterRelease(view.steeringAxis, rate);
    const double deadBand = 0.02;
    if (left_error > deadBand) {
        keys.a = true;  // A turns the nose toward +row0
    } else if (left_error < -deadBand) {
        keys.d = true;
    }
    return keys;
}
