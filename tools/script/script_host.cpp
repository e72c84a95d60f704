#include "script_host.h"

#include <GL/osmesa.h>
#include <SDL.h>

#include <algorithm>
#include <filesystem>

#include "audio/openal_device.h"
#include "audio/sound_device.h"
#include "game/replay_identity.h"
#include "level_start.h"
#include "png_writer.h"
#include "state_report.h"

namespace {

constexpr std::int64_t keyUpFlags = keyRepeatFlag | (std::int64_t{1} << 31);

}  // namespace

ScriptHost::ScriptHost(GameData& game, int width, int height, std::vector<ScriptCommand> commands,
                       std::FILE* out)
    : game_(game), width_(width), height_(height),
      commands_(std::move(commands)), out_(out)
{
    // The runner's sound follows its frames, not the wall clock.
    setSoundDeviceCreator(createOpenAlLoopbackDevice);
}

ScriptHost::~ScriptHost()
{
    setSoundDeviceCreator(nullptr);
    if (pad_ != nullptr) {
        SDL_JoystickClose(pad_);
    }
    if (context_ != nullptr) {
        OSMesaDestroyContext(static_cast<OSMesaContext>(context_));
    }
}

bool ScriptHost::makeCurrent(int width, int height)
{
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    if (!OSMesaMakeCurrent(static_cast<OSMesaContext>(context_), buffer.data(), GL_UNSIGNED_BYTE, width, height)) {
        return false;
    }
    backBuffer_.swap(buffer);
    frontBuffer_.assign(backBuffer_.size(), 0);
    width_ = width;
    height_ = height;
    return true;
}

void ScriptHost::createRenderContext()
{
    // RGBA with a 32-bit depth buffer if the renderer has one, else 24 bits.
    for (int depth : {32, 24}) {
        context_ = OSMesaCreateContextExt(OSMESA_RGBA, depth, 0, 0, nullptr);
        if (context_ != nullptr) {
            break;
        }
    }
    if (context_ == nullptr || !makeCurrent(width_, height_)) {
        std::fprintf(stderr, "glimmerfall-script: no offscreen GL context; frames will be blank\n");
    }
}

void ScriptHost::releaseRenderContext()
{
    // The context stays until the runner ends, as the game's would.
}

void ScriptHost::showErrorBox(const char* text, const char*)
{
    std::fprintf(stderr, "%s\n", text);
}

void ScriptHost::revealWindow()
{
    // The commands before the first frame: a pad attached here is there when
    // the game opens its controller.
    runCommands();
}

void ScriptHost::pumpEvents(bool)
{
    // The runner has no desktop events; drop what SDL queued for the pad.
    if (SDL_WasInit(SDL_INIT_EVENTS) != 0) {
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
}

namespace {

const char* glErrorName(unsigned int e)
{
    switch (e) {
        case GL_INVALID_ENUM: return "GL_INVALID_ENUM";
        case GL_INVALID_VALUE: return "GL_INVALID_VALUE";
        case GL_INVALID_OPERATION: return "GL_INVALID_OPERATION";
        case GL_STACK_OVERFLOW: return "GL_STACK_OVERFLOW";
        case GL_STACK_UNDERFLOW: return "GL_STACK_UNDERFLOW";
        case GL_OUT_OF_MEMORY: return "GL_OUT_OF_MEMORY";
        default: return "unknown error";
    }
}

}  // namespace

void ScriptHost::checkGlErrors()
{
    if (context_ == nullptr || glError_ != 0) {
        return;
    }
    // GL keeps one flag per kind of error: read them all, report the first.
    GLenum first = glGetError();
    if (first == GL_NO_ERROR) {
        return;
    }
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
    glError_ = first;
    glErrorFrame_ = frames_;
    char text[96];
    std::snprintf(text, sizeof text, "GL error 0x%04X (%s) after frame %lld", first, glErrorName(first),
                  static_cast<long long>(frames_));
    failures_.push_back(Failure{3, text});
    finished_ = true;
    postMessage(Message{wmClose, 0, 0});
}

void ScriptHost::noteTextureNames()
{
    for (unsigned int name : game_.textures.names) {
        highestTextureName_ = std::max(highestTextureName_, name);
    }
}

int ScriptHost::liveTextureNames() const
{
    // Names are handed out from 1 upwards, so every name the game ever held
    // is at most the highest one seen.
    if (context_ == nullptr) {
        return 0;
    }
    int live = 0;
    for (unsigned int name = 1; name <= highestTextureName_; ++name) {
        live += glIsTexture(name) == GL_TRUE ? 1 : 0;
    }
    return live;
}

void ScriptHost::presentFrame()
{
    frontBuffer_ = backBuffer_;
    ++frames_;
    recorder_.renderFrame();
    if (recorder_.writeFailed()) {
        noteRecordingFailure(recorder_.failureText());
    }
    noteTextureNames();
    checkGlErrors();
    if (finished_ || budget_ == 0) {
        return;
    }
    --budget_;
    if (budget_ > 0) {
        if (autopilot_) {
            steer();
        }
        return;
    }
    // The autopilot's keys stay held through the commands that only look
    // (state, stats, screenshot) into a following autopilot command, so
    // that a run cut into pieces plays as one; anything else lets them go.
    autopilot_ = false;
    if (replay_) {
        endReplay();
    }
    runCommands();
}

void ScriptHost::postKey(std::uint32_t message, std::uint32_t key, bool repeat)
{
    std::int64_t l = 1;
    if (message == wmKeyUp) {
        l |= keyUpFlags;
    } else if (repeat) {
        l |= keyRepeatFlag;
    }
    postMessage(Message{message, key, l});
}

void ScriptHost::steer()
{
    const AutopilotKeys next = pilot_.next(autopilotViewOf(game_, gameController));
    const struct {
        bool was;
        bool now;
        std::uint32_t key;
    } changes[] = {{held_.w, next.w, 'W'},
                   {held_.s, next.s, 'S'},
                   {held_.a, next.a, 'A'},
                   {held_.d, next.d, 'D'},
                   {held_.space, next.space, vkSpace}};
    for (const auto& c : changes) {
        if (c.was != c.now) {
            postKey(c.now ? wmKeyDown : wmKeyUp, c.key, false);
        }
    }
    held_ = next;
}

void ScriptHost::releaseAutopilotKeys()
{
    const AutopilotKeys none;
    const struct {
        bool held;
        std::uint32_t key;
    } keys[] = {{held_.w, 'W'}, {held_.s, 'S'}, {held_.a, 'A'}, {held_.d, 'D'}, {held_.space, vkSpace}};
    for (const auto& k : keys) {
        if (k.held) {
            postKey(wmKeyUp, k.key, false);
        }
    }
    held_ = none;
}

void ScriptHost::fail(const ScriptCommand& c, const std::string& why)
{
    failures_.push_back(Failure{2, scriptName_ + ": line " + std::to_string(c.line) + ": " + why});
    finished_ = true;
    postMessage(Message{wmClose, 0, 0});
}

void ScriptHost::noteRecordingFailure(const std::string& why)
{
    // The game plays on to the end of the script; the run fails all the same.
    if (!recordingFailed_) {
        recordingFailed_ = true;
        failures_.push_back(Failure{2, why});
    }
}

void ScriptHost::finishRecording()
{
    std::string error;
    if (!recorder_.finish(error)) {
        noteRecordingFailure(error);
    }
}

bool ScriptHost::startReplay(const ScriptCommand& c)
{
    if (glimmerfall_ == nullptr || recording_) {
        fail(c, recording_ ? "replay cannot be used while recording (--record)" : "no game to replay with");
        return false;
    }
    auto player = std::make_unique<ReplayPlayer>();
    // Relative to where the runner was started, like the script's other files.
    const std::filesystem::path file = startFolder_ / c.path;  // an absolute path stays as it is
    if (player->open(file, replayExpectationHere(dataFilesChecksum())) != ReplayRefusal::none) {
        fail(c, "cannot replay " + c.path + ": " + player->error());
        return false;
    }
    replay_ = std::move(player);
    replayName_ = c.path;
    glimmerfall_->playReplay(replay_.get());
    budget_ = replay_->trailer().frameCount;
    return true;
}

void ScriptHost::endReplay()
{
    const ReplayPlayer& player = *replay_;
    if (!player.finished()) {
        failures_.push_back(Failure{2, scriptName_ + ": the replay " + replayName_ + " did not end with its frames"});
    } else if (player.divergedAfter()) {
        failures_.push_back(Failure{2, scriptName_ + ": the replay " + replayName_ + " went its own way after frame " +
                                           std::to_string(*player.divergedAfter())});
    }
    glimmerfall_->playReplay(nullptr);
    replay_.reset();
}

void ScriptHost::runCommands()
{
    while (!finished_ && budget_ == 0) {
        if (next_ == commands_.size()) {
            releaseAutopilotKeys();
            // The end of the script closes the game as quit would.
            finished_ = true;
            postMessage(Message{wmClose, 0, 0});
            return;
        }
        const ScriptCommand& c = commands_[next_++];
        if (c.kind != ScriptCommand::Kind::Autopilot && c.kind != ScriptCommand::Kind::State &&
            c.kind != ScriptCommand::Kind::Stats && c.kind != ScriptCommand::Kind::Screenshot &&
            c.kind != ScriptCommand::Kind::Focus) {
            releaseAutopilotKeys();
        }
        if (!run(c)) {
            return;
        }
    }
}

bool ScriptHost::saveScreenshot(const std::string& path, std::string& error) const
{
    // GL rows run bottom to top; a PNG's top to bottom.
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 3);
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t* src = frontBuffer_.data() + static_cast<std::size_t>(height_ - 1 - y) * width_ * 4;
        std::uint8_t* dst = rgb.data() + static_cast<std::size_t>(y) * width_ * 3;
        for (int x = 0; x < width_; ++x) {
            dst[3 * x] = src[4 * x];
            dst[3 * x + 1] = src[4 * x + 1];
            dst[3 * x + 2] = src[4 * x + 2];
        }
    }
    return writeFile(path, encodePng(width_, height_, rgb.data()), error);
}

bool ScriptHost::run(const ScriptCommand& c)
{
    using Kind = ScriptCommand::Kind;
    switch (c.kind) {
        case Kind::Frames:
            budget_ = c.count;
            return true;
        case Kind::Autopilot:
            budget_ = c.count;
            if (budget_ > 0) {
                autopilot_ = true;
                steer();
            }
            return true;
        case Kind::Level:
            if (recording_) {
                fail(c, "level cannot be used while recording (--record): a recording plays every frame from the title");
                return false;
            }
            startAtLevel(game_, static_cast<int>(c.count));
            return true;
        case Kind::Replay:
            return startReplay(c);
        case Kind::Key:
            postKey(c.message, c.key, c.repeat);
            return true;
        case Kind::MouseButton:
            postMessage(Message{c.message, 0, 0});
            return true;
        case Kind::MouseMove:
            postMessage(Message{wmMouseMove, 0,
                                static_cast<std::int64_t>((static_cast<std::uint32_t>(c.x) & 0xFFFFu) |
                                                          ((static_cast<std::uint32_t>(c.y) & 0xFFFFu) << 16))});
            return true;
        case Kind::PadAttach:
            if (pad_ != nullptr) {
                fail(c, "a pad is already attached");
                return false;
            }
            if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0 ||
                (padIndex_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                       SDL_CONTROLLER_BUTTON_MAX, 0)) < 0 ||
                (pad_ = SDL_JoystickOpen(padIndex_)) == nullptr) {
                fail(c, std::string("cannot attach a virtual pad: ") + SDL_GetError());
                return false;
            }
            return true;
        case Kind::PadAxis:
        case Kind::PadButton:
            if (pad_ == nullptr) {
                fail(c, "no pad is attached");
                return false;
            }
            if (c.kind == Kind::PadAxis) {
                SDL_JoystickSetVirtualAxis(pad_, SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(c.value));
            } else {
                SDL_JoystickSetVirtualButton(pad_, c.button, c.down ? 1 : 0);
            }
            return true;
        case Kind::PadDetach:
            if (pad_ == nullptr) {
                fail(c, "no pad is attached");
                return false;
            }
            SDL_JoystickClose(pad_);
            pad_ = nullptr;
            SDL_JoystickDetachVirtual(padIndex_);
            padIndex_ = -1;
            return true;
        case Kind::Resize:
            if (context_ != nullptr && !makeCurrent(c.width, c.height)) {
                fail(c, "cannot resize the offscreen buffer");
                return false;
            }
            sendMessage(wmSize);
            return true;
        case Kind::Focus:
            // The window becomes inactive or active, as a desktop reports it.
            setFocused(c.down);
            return true;
        case Kind::Screenshot: {
            std::string error;
            if (!saveScreenshot(c.path, error)) {
                fail(c, error);
                return false;
            }
            return true;
        }
        case Kind::State:
            snapshot_->capture(game_);
            std::fprintf(out_, "%s\n", gameStateJson(frames_, *snapshot_).c_str());
            std::fflush(out_);
            return true;
        case Kind::Stats: {
            noteTextureNames();
            RunnerStats stats;
            stats.frame = frames_;
            stats.gameState = static_cast<int>(game_.session.gameState);
            stats.levelNumber = game_.session.levelNumber;
            stats.residentKiB = residentKiB();
            stats.textureNames = liveTextureNames();
            std::fprintf(out_, "%s\n", runnerStatsJson(stats).c_str());
            std::fflush(out_);
            return true;
        }
        case Kind::Quit:
            finished_ = true;
            postMessage(Message{wmClose, 0, 0});
            return false;
    }
    return true;
}
