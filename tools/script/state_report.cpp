#include "state_report.h"

#include <cmath>
#include <cstdio>

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

std::string gameStateJson(std::int64_t frame, const GameSnapshot& state)
{
    const Session& session = state.data.session;
    const World& world = state.data.world;
    const Ship& ship = world.ship;
    const Controls& controls = state.data.controls;
    const JoystickState& joystick = state.controller.joystickState;
    const Camera& camera = state.data.camera;
    Json j;
    j.open();
    j.integer("frame", frame);
    j.integer("gameState", static_cast<int>(session.gameState));
    j.integer("levelNumber", session.levelNumber);
    j.integer("collectedCount", session.collectedCount);
    j.number("levelTime", session.levelTime);
    j.integer("score", session.score);
    j.integer("lastButton", session.lastButton);
    j.integer("paused", state.data.comfort.paused ? 1 : 0);

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
    j.number("keyForward", controls.keyForward);
    j.number("keyTurn", controls.keyTurn);
    j.number("keyButton", controls.keyButton);
    j.integer("lX", joystick.lX);
    j.integer("button0", joystick.rgbButtons[0]);
    j.integer("button1", joystick.rgbButtons[1]);
    j.integer("joystickUsable", state.controller.joystickUsable);
    j.close();

    j.integer("particleHead", world.particleHead);
    j.integer("particleCount", world.particleCount);
    j.integer("randState", state.randState);
    j.integer("thrustLevel", state.thrustLevel);
    j.integer("masterVolume", state.masterVolume);
    j.integer("musicOn", state.musicOn ? 1 : 0);

    j.open("camera");
    j.vector("position", camera.cameraPosition);
    j.vector("row0", camera.cameraMatrix.row0());
    j.vector("row1", camera.cameraMatrix.row1());
    j.vector("row2", camera.cameraMatrix.row2());
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
