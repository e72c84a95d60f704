// The real game binary, started as a player would start it: from the data
// folder. Under an X server (the test runs inside xvfb-run) it must open its
// window, draw into it and leave with exit code 1 on a close request; its
// sound is muted without focus or minimised and comes back after the output
// was lost; without a display and without a sound device it must say why and
// leave with 1.
#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool, Status) would clash with it.
#include "x_window.h"
#include "child_process.h"
#include "data_folder.h"
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// The game started in the data folder with the given environment changes
// ("NAME=value" sets, "NAME" alone unsets) and options.
ProcessOptions game(const std::vector<std::string>& env, const std::vector<std::string>& options = {})
{
    ProcessOptions o;
    o.args = {GLIMMERFALL_BINARY};
    o.args.insert(o.args.end(), options.begin(), options.end());
    o.env = env;
    o.folder = dataFolder();
    o.timeoutSeconds = 110;
    return o;
}

// Counts pixels of the window that are not black.
long litPixels(Display* d, Window w)
{
    XWindowAttributes a{};
    XGetWindowAttributes(d, w, &a);
    XImage* image = XGetImage(d, w, 0, 0, static_cast<unsigned>(a.width), static_cast<unsigned>(a.height),
                              AllPlanes, ZPixmap);
    if (image == nullptr) {
        return -1;
    }
    long lit = 0;
    for (int y = 0; y < a.height; y += 2) {
        for (int x = 0; x < a.width; x += 2) {
            lit += (XGetPixel(image, x, y) & 0xFFFFFF) != 0 ? 1 : 0;
        }
    }
    XDestroyImage(image);
    return lit;
}

TEST(GameBinary, OpensItsWindowDrawsAndLeavesWithOneOnACloseRequest)
{
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) {
        GTEST_SKIP() << "no X display (run under xvfb-run)";
    }
    ChildProcess child(game({"ALSOFT_DRIVERS=null", "SDL_AUDIODRIVER=dummy"}));
    ASSERT_TRUE(child.started());

    const Window w = waitForGameWindow(d);
    ASSERT_NE(w, 0u) << "no window titled Glimmerfall V1.0; stderr:\n" << child.errSoFar();

    XWindowAttributes a{};
    XGetWindowAttributes(d, w, &a);
    EXPECT_EQ(a.width, DisplayWidth(d, DefaultScreen(d)));
    EXPECT_EQ(a.height, DisplayHeight(d, DefaultScreen(d)));

    // The title screen's text appears within a few frames.
    long lit = 0;
    for (int i = 0; i < 100 && lit <= 0; ++i) {
        std::this_thread::sleep_for(100ms);
        lit = litPixels(d, w);
    }
    EXPECT_GT(lit, 100);

    // The window manager's close request.
    sendCloseRequest(d, w);

    const ProcessResult run = child.finish(30);
    EXPECT_EQ(run.exitCode, 1) << run.err;
    // The sound device was closed before the exit: OpenAL Soft has nothing to
    // complain about, and neither has anything else.
    EXPECT_EQ(run.err, "");
    XCloseDisplay(d);
}

long fileSize(const std::string& path)
{
    std::error_code e;
    const auto size = std::filesystem::file_size(path, e);
    return e ? -1 : static_cast<long>(size);
}

// True once the condition holds, checked every 50 ms up to the limit.
template <typename Condition>
bool waitFor(Condition condition, std::chrono::seconds limit)
{
    for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

// --windowed: an ordinary window of two thirds of the screen (no window
// manager runs, so the work area is the whole screen). Resized, the picture
// follows it and the size is kept in the player's settings; the next start
// without options opens the window at that size again.
TEST(GameBinary, AnOrdinaryWindowFitsTheScreenFollowsItsSizeAndIsRemembered)
{
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) {
        GTEST_SKIP() << "no X display (run under xvfb-run)";
    }
    namespace fs = std::filesystem;
    const fs::path config = fs::path(::testing::TempDir()) / ("window_config_" + std::to_string(getpid()));
    fs::remove_all(config);
    const std::vector<std::string> env = {"ALSOFT_DRIVERS=null", "SDL_AUDIODRIVER=dummy",
                                          "XDG_CONFIG_HOME=" + config.string()};
    auto sizeOf = [d](Window w) {
        XWindowAttributes a{};
        XGetWindowAttributes(d, w, &a);
        return std::make_pair(a.width, a.height);
    };
    {
        ChildProcess child(game(env, {"--windowed"}));
        const Window w = waitForGameWindow(d);
        ASSERT_NE(w, 0u) << child.errSoFar();
        EXPECT_EQ(sizeOf(w), std::make_pair(DisplayWidth(d, DefaultScreen(d)) * 2 / 3,
                                            DisplayHeight(d, DefaultScreen(d)) * 2 / 3));
        XResizeWindow(d, w, 640, 400);
        XSync(d, False);
        const fs::path settings = config / "glimmerfall" / "settings.ini";
        auto kept = [&settings] {
            std::ifstream in(settings);
            const std::string text((std::istreambuf_iterator<char>(in)), {});
            return text.find("width = 640") != std::string::npos && text.find("height = 400") != std::string::npos;
        };
        EXPECT_TRUE(waitFor(kept, 10s)) << "the size was not kept";
        // The title screen shows in the smaller window: its text is lit.
        EXPECT_TRUE(waitFor([&] { return litPixels(d, w) > 100; }, 10s));
        sendCloseRequest(d, w);
        EXPECT_EQ(child.finish(30).exitCode, 1);
    }
    ChildProcess again(game(env));
    const Window w = waitForGameWindow(d);
    ASSERT_NE(w, 0u) << again.errSoFar();
    EXPECT_EQ(sizeOf(w), std::make_pair(640, 400));
    sendCloseRequest(d, w);
    EXPECT_EQ(again.finish(30).exitCode, 1);
    XCloseDisplay(d);
    fs::remove_all(config);
}

TEST(GameBinary, SoundIsMutedWithoutFocusOrMinimisedAndALostOutputComesBack)
{
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) {
        GTEST_SKIP() << "no X display (run under xvfb-run)";
    }
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // a window gone meanwhile is no failure
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(::testing::TempDir()) / ("game_sound_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string link = (dir / "output.wav").string();
    const std::string recording = (dir / "recording.wav").string();
    // OpenAL Soft's wave backend writes the mix to the linked file in real
    // time (about 350 kB a second). At first the link leads to a file that
    // cannot be written: the output is lost at its first write.
    fs::create_symlink("/dev/full", link);
    std::ofstream(dir / "alsoft.conf") << "[wave]\nfile=" << link << "\n";
    ChildProcess child(game({"ALSOFT_DRIVERS=wave", "ALSOFT_CONF=" + (dir / "alsoft.conf").string(),
                             "SDL_AUDIODRIVER=dummy"}));
    ASSERT_TRUE(child.started());
    const Window w = waitForGameWindow(d);
    ASSERT_NE(w, 0u);
    // Every attempt to open it again fails the same way, yet the game plays on.
    ASSERT_TRUE(waitFor([&] { return child.errSoFar().find("Error writing") != std::string::npos; }, 10s));
    EXPECT_TRUE(waitFor([&] { return litPixels(d, w) > 100; }, 10s));

    // Plugged in again: within a few seconds the output is open and the
    // music plays from its start (after a moment of silence while the sounds
    // are refilled).
    fs::create_symlink(recording, link + ".new");
    fs::rename(link + ".new", link);
    const long enough = 700000;  // about two seconds
    ASSERT_TRUE(waitFor([&] { return fileSize(recording) >= enough; }, 30s)) << child.errSoFar();
    std::vector<char> head(static_cast<std::size_t>(enough));
    std::ifstream(recording, std::ios::binary).read(head.data(), enough);
    EXPECT_GT(std::count_if(head.begin() + 100, head.end(), [](char b) { return b != 0; }), enough / 4);

    // Muted, the output goes on being mixed: the file keeps growing, with
    // nothing but silence in it once the sound has faded (a moment). Heard
    // again, the new bytes carry sound.
    auto bytesAt = [&](long from, long to) {
        std::vector<char> bytes(static_cast<std::size_t>(to - from));
        std::ifstream in(recording, std::ios::binary);
        in.seekg(from);
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return bytes;
    };
    auto grownBy = [&](long from, long bytes) {
        return waitFor([&] { return fileSize(recording) >= from + bytes; }, 20s);
    };
    const long second = 350000;  // about a second of the mix
    auto silent = [&] {
        std::this_thread::sleep_for(500ms);  // the fade and what the backend had mixed ahead
        const long from = fileSize(recording);
        if (!grownBy(from, second)) {
            return false;
        }
        const std::vector<char> bytes = bytesAt(from, from + second);
        return std::all_of(bytes.begin(), bytes.end(), [](char b) { return b == 0; });
    };
    auto heard = [&] {
        std::this_thread::sleep_for(500ms);
        const long from = fileSize(recording);
        if (!grownBy(from, second)) {
            return false;
        }
        const std::vector<char> bytes = bytesAt(from, from + second);
        return std::count_if(bytes.begin(), bytes.end(), [](char b) { return b != 0; }) > second / 4;
    };
    auto focus = [&](Window target) {
        EXPECT_TRUE(waitFor([&] {
            XWindowAttributes a{};
            return XGetWindowAttributes(d, target, &a) != 0 && a.map_state == IsViewable;
        }, 5s));
        XSetInputFocus(d, target, RevertToParent, CurrentTime);
        XSync(d, False);
    };
    focus(w);
    std::this_thread::sleep_for(500ms);
    // Another window takes the focus, then gives it back.
    const Window other = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 64, 64, 0, 0, 0);
    XMapWindow(d, other);
    focus(other);
    EXPECT_TRUE(silent()) << "sound while another window had the focus";
    focus(w);
    EXPECT_TRUE(heard());
    // Minimised (unmapped, as a window manager iconifies it), then restored.
    XUnmapWindow(d, w);
    XSync(d, False);
    EXPECT_TRUE(silent()) << "sound while minimised";
    XMapWindow(d, w);
    focus(w);
    EXPECT_TRUE(heard());

    sendCloseRequest(d, w);
    const ProcessResult run = child.finish(30);
    EXPECT_EQ(run.exitCode, 1) << run.err;
    XDestroyWindow(d, other);
    XCloseDisplay(d);
    fs::remove_all(dir);
}

TEST(GameBinary, WithoutASoundDeviceItSaysSoAndLeavesWithOne)
{
    // No display, so the error box cannot wait for a click; SDL draws offscreen.
    ProcessOptions o = game({"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER=offscreen", "ALSOFT_DRIVERS=no-such-backend"});
    o.timeoutSeconds = 30;
    const ProcessResult run = runProcess(o);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("Error initializing DirectSound.  Sample will now exit.\n"), std::string::npos) << run.err;
}

// ---- fullscreen: the test plays the window manager ------------------------
// Under X the switch is the window manager's work: the game asks for it with a
// _NET_WM_STATE message to the root window, which the test receives.

bool redirectRefused = false;

int noteRefusal(Display*, XErrorEvent* e)
{
    redirectRefused = redirectRefused || e->error_code == BadAccess;
    return 0;
}

void sendKey(Display* d, Window w, KeySym key, bool down)
{
    XKeyEvent e{};
    e.type = down ? KeyPress : KeyRelease;
    e.display = d;
    e.window = w;
    e.root = DefaultRootWindow(d);
    e.time = CurrentTime;
    e.same_screen = True;
    e.keycode = XKeysymToKeycode(d, key);
    XSendEvent(d, w, True, down ? KeyPressMask : KeyReleaseMask, reinterpret_cast<XEvent*>(&e));
    XFlush(d);
}

// Waits for the window's request to the window manager to add (1) or remove
// (0) its fullscreen state.
bool fullscreenRequest(Display* d, Window w, long action)
{
    const Atom state = XInternAtom(d, "_NET_WM_STATE", False);
    const Atom fullscreen = XInternAtom(d, "_NET_WM_STATE_FULLSCREEN", False);
    for (auto end = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < end;) {
        while (XPending(d) > 0) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type == ClientMessage && e.xclient.window == w && e.xclient.message_type == state &&
                e.xclient.data.l[0] == action &&
                (static_cast<Atom>(e.xclient.data.l[1]) == fullscreen ||
                 static_cast<Atom>(e.xclient.data.l[2]) == fullscreen)) {
                return true;
            }
        }
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

// A game played in the window is recorded as the player's last replay. The
// runner plays it to its end with the same state as the window's game
// (every checksum and the trailer agree), and the game plays it in its own
// window, holds its last picture and leaves with 0.
TEST(GameBinary, AGameInTheWindowIsRecordedAndReplays)
{
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) {
        GTEST_SKIP() << "no X display (run under xvfb-run)";
    }
    namespace fs = std::filesystem;
    const fs::path home = fs::path(::testing::TempDir()) / ("replay_home_" + std::to_string(getpid()));
    fs::remove_all(home);
    const std::vector<std::string> env = {"ALSOFT_DRIVERS=null", "SDL_AUDIODRIVER=dummy",
                                          "XDG_DATA_HOME=" + home.string()};
    {
        ChildProcess child(game(env));
        const Window w = waitForGameWindow(d);
        ASSERT_NE(w, 0u) << child.errSoFar();
        std::this_thread::sleep_for(300ms);
        sendKey(d, w, XK_space, true);
        std::this_thread::sleep_for(100ms);
        sendKey(d, w, XK_space, false);
        sendKey(d, w, XK_w, true);
        sendKey(d, w, XK_a, true);
        std::this_thread::sleep_for(1500ms);
        sendKey(d, w, XK_a, false);
        std::this_thread::sleep_for(500ms);
        sendCloseRequest(d, w);
        EXPECT_EQ(child.finish(30).exitCode, 1);
    }
    const fs::path last = home / "glimmerfall" / "last.replay";
    ASSERT_TRUE(fs::exists(last));

    ProcessOptions runner;
    runner.args = {GLIMMERFALL_SCRIPT_BINARY, "--size", "32x32"};
    runner.folder = dataFolder();
    runner.input = "replay " + last.string() + "\nstate\n";
    runner.env = {"ALSOFT_DRIVERS=null"};
    const ProcessResult replayed = runProcess(runner);
    EXPECT_EQ(replayed.exitCode, 1) << replayed.err;
    EXPECT_NE(replayed.out.find("\"levelNumber\": 1"), std::string::npos) << replayed.out;

    ChildProcess watch(game(env, {"--replay", last.string()}));
    ASSERT_NE(waitForGameWindow(d), 0u) << watch.errSoFar();
    const ProcessResult watched = watch.finish(60);
    EXPECT_EQ(watched.exitCode, 0) << watched.err;
    EXPECT_EQ(watched.err, "");

    std::ofstream(home / "foreign.replay") << "not a replay at all";
    const ProcessResult refused = runProcess(game(env, {"--replay", (home / "foreign.replay").string()}));
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("cannot play the replay"), std::string::npos) << refused.err;
    XCloseDisplay(d);
    fs::remove_all(home);
}

TEST(GameBinary, F11AndAltEnterAskTheWindowManagerForFullscreenAndBack)
{
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) {
        GTEST_SKIP() << "no X display (run under xvfb-run)";
    }
    ChildProcess child(game({"ALSOFT_DRIVERS=null", "SDL_AUDIODRIVER=dummy"}, {"--windowed"}));
    ASSERT_TRUE(child.started());
    const Window w = waitForGameWindow(d);
    ASSERT_NE(w, 0u) << child.errSoFar();

    // Become the window manager (there is none on the virtual server).
    const auto previous = XSetErrorHandler(noteRefusal);
    XSelectInput(d, DefaultRootWindow(d), SubstructureRedirectMask);
    XSync(d, False);
    XSetErrorHandler(previous);
    if (redirectRefused) {
        child.signal(SIGKILL);
        child.finish(5);
        GTEST_SKIP() << "another window manager runs";
    }
    sendKey(d, w, XK_F11, true);
    sendKey(d, w, XK_F11, false);
    EXPECT_TRUE(fullscreenRequest(d, w, 1));
    sendKey(d, w, XK_Alt_L, true);
    sendKey(d, w, XK_Return, true);
    sendKey(d, w, XK_Return, false);
    sendKey(d, w, XK_Alt_L, false);
    EXPECT_TRUE(fullscreenRequest(d, w, 0));

    sendCloseRequest(d, w);
    const ProcessResult run = child.finish(30);
    EXPECT_EQ(run.exitCode, 1) << run.err;
    XCloseDisplay(d);
}

// The command line answers at once, before any window or sound: the help on
// stdout with 0, the version, and the usage on stderr with 2 for a mistake.
TEST(GameBinary, CommandLineHelpVersionAndMistakes)
{
    struct Case {
        const char* args;
        int exitCode;
        const char* out;  // expected in stdout
        const char* err;  // expected in stderr
    };
    const Case cases[] = {
        {"--help", 0, "Usage: glimmerfall [OPTION]...\n", ""},
        {"--version", 0, "glimmerfall " GLIMMERFALL_VERSION "\n", ""},
        {"--fullscreen --bogus", 2, "", "glimmerfall: unknown option '--bogus'\nUsage: glimmerfall"},
        {"--data", 2, "", "option '--data' needs a folder\nUsage:"},
        {"--data /no/such/folder", 2, "", "cannot use the data folder '/no/such/folder': No such file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        ProcessOptions o;
        o.args = {GLIMMERFALL_BINARY};
        std::istringstream words(c.args);
        for (std::string w; words >> w;) {
            o.args.push_back(w);
        }
        o.env = {"DISPLAY=", "SDL_VIDEODRIVER=offscreen", "ALSOFT_DRIVERS=null"};
        o.timeoutSeconds = 30;
        const ProcessResult run = runProcess(o);
        EXPECT_EQ(run.exitCode, c.exitCode);
        if (*c.out == '\0') {
            EXPECT_EQ(run.out, "");
        } else {
            EXPECT_EQ(run.out.rfind(c.out, 0), 0u) << run.out;
        }
        if (*c.err == '\0') {
            EXPECT_EQ(run.err, "");
        } else {
            EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
        }
    }
}

}  // namespace
