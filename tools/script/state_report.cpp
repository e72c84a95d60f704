#include "state_report.h"

#include <cmath>
#include <cstdio>

#include "game/camera.h"
#include "game/controls.h"
#include "game/frame_driver.h"
#include "audio/game_sounds.h"
#include "input/joystick.h"
#include "math/game_random.h"
#include "physics/ship.h"
#include "world/level.h"
#include "world/particle.h"

namespace {

class Json {
public:
    void open(const char* key = nullptr)
    {
        name(key);
        text_ += '{';
        first_ = true;
    }
    void close()
    {
        text_ += '}';
        first_ = false;
    }
    void integer(const char* key, long long v)
    {
        name(key);
        text_ += std::to_string(v);
    }
    void number(const char* key, float v)
    {
        name(key);
        append(v);
    }
    void vector(const char* key, const Vector4& v)
    {
        name(key);
        text_ += '[';
        append(v.x);
        text_ += ", ";
        append(v.y);
        text_ += ", ";
        append(v.z);
        text_ += ']';
    }
    const std::string& text() const { return text_; }

private:
    void name(const char* key)
    {
        if (!first_) {
            text_ += ", ";
        }
        first_ = false;
        if (key != nullptr) {
            text_ += '"';
            text_ += key;
            text_ += "\": ";
        }
    }
    void append(float v)
    {
        if (!std::isfinite(v)) {
            text_ += "null";
            return;
        }
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(v));
        text_ += buffer;
    }

    std::string text_;
    bool first_ = true;
};

}  // namespace

std::string gameStateJson(std::int64_t frame)
{
    Json j;
    j.open();
    j.integer("frame", frame);
    j.integer("gameState", static_cast<int>(gameState));
    j.integer("levelNumber", levelNumber);
    j.integer("collectedCount", collectedCount);
    j.number("levelTime", levelTime);
    j.integer("score", score);
    j.integer("lastButton", lastButton);

    const Matrix4& o = ship.body.orientation;
    j.open("ship");
    j.vector("position", ship.body.position);
    j.vector("velocity", ship.body.velocity);
    j.vector("angularVelocity", ship.body.angularVelocity);
    j.vector("row0", o.row0());
    j.vector("row1", o.row1());
    j.vector("row2", o.row2());
    j.number("thrustInput", ship.thrustInput);
    j.number("turnInput", ship.turnInput);
    j.close();

    j.open("controls");
    j.number("keyForward", keyForward);
    j.number("keyTurn", keyTurn);
    j.number("keyButton", keyButton);
    j.integer("lX", joystickState.lX);
    j.integer("button0", joystickState.rgbButtons[0]);
    j.integer("button1", joystickState.rgbButtons[1]);
    j.integer("joystickUsable", joystickUsable);
    j.close();

    j.integer("particleHead", particleHead);
    j.integer("particleCount", particleCount);
    j.integer("randState", randState);
    j.integer("thrustLevel", thrustLevel);

    j.open("camera");
    j.vector("position", cameraPosition);
    j.vector("row0", cameraMatrix.row0());
    j.vector("row1", cameraMatrix.row1());
    j.vector("row2", cameraMatrix.row2());
    j.close();

    j.close();
    return j.text();
}

std::string runnerStatsJson(const RunnerStats& s)
{
    Json j;
    j.open();
    j.integer("frame", s.frame);
    j.integer("gameState", s.gameState);
    j.integer("levelNumber", s.levelNumber);
    j.integer("residentKiB", s.residentKiB);
    j.integer("textureNames", s.textureNames);
    j.close();
    return j.text();
}

long long residentKiB(const char* statusPath)
{
    std::FILE* f = std::fopen(statusPath, "r");
    if (f == nullptr) {
        return -1;
    }
    char line[256];
    long long kib = -1;
    while (std::fgets(line, sizeof line, f) != nullptr) {
        long long v = 0;
        if (std::sscanf(line, "VmRSS: %lld kB", &v) == 1) {
            kib = v;
            break;
        }
    }
    std::fclose(f);
    return kib;
}
