// The real Windows program under Wine, as a player meets it: each test has a
// Wine session of its own (prefix, HOME, Xvfb with a 1024×768 virtual
// desktop), keys come through XTEST (xdotool), pictures are read from the X
// server and the sound from ALSA's file device in the session's HOME.
#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool, Status) would clash with it.
#include "child_process.h"
#include "png_writer.h"
#include "wave_capture.h"
#include "x_window.h"
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string env(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// A Wine session in a fresh folder of its own, ended with the test.
class WineSession {
public:
    explicit WineSession(const std::string& name, const std::string& asoundrc)
        : dir_(fs::path(::testing::TempDir()) / ("wine_" + name + "_" + std::to_string(getpid())))
    {
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "home");
        std::ofstream(dir_ / "home" / ".asoundrc") << asoundrc;
        const ProcessResult r = runProcess({{script(), "start", dir_.string()}, {}, "", "", 120});
        started_ = r.exitCode == 0;
        std::string display;
        std::ifstream(dir_ / "display") >> display;
        display_ = XOpenDisplay((":" + display).c_str());
    }
    ~WineSession()
    {
        if (display_ != nullptr) XCloseDisplay(display_);
        runProcess({{script(), "stop", dir_.string()}, {}, "", "", 60});
        if (!::testing::Test::HasFailure()) fs::remove_all(dir_);
    }
    WineSession(const WineSession&) = delete;
    WineSession& operator=(const WineSession&) = delete;

    bool ready() const { return started_ && display_ != nullptr; }
    Display* display() const { return display_; }
    fs::path dir() const { return dir_; }
    std::string windowsPath(const fs::path& p) const { return "Z:" + p.string(); }

    // A Windows program of the session, started in the given folder.
    ProcessOptions program(std::vector<std::string> args, const std::string& folder) const
    {
        args.insert(args.begin(), {script(), "run", dir_.string()});
        ProcessOptions o;
        o.args = args;
        o.folder = folder;
        o.timeoutSeconds = 120;
        return o;
    }
    // xdotool on the session's display.
    ProcessResult xdotool(const std::string& arguments) const
    {
        ProcessOptions o;
        o.env = {"DISPLAY=" + std::string(DisplayString(display_))};
        o.timeoutSeconds = 20;
        return runShell("xdotool " + arguments, o);
    }
    // Gives the keyboard to the virtual desktop, whose active window (the
    // game, or its box) then gets the keys.
    void focusDesktop() const
    {
        xdotool("search --name 'Wine desktop' windowfocus --sync");
        std::this_thread::sleep_for(500ms);  // Wine activates its window on the focus event
    }

private:
    static std::string script() { return env("GLIMMERFALL_WINE_SESSION"); }

    fs::path dir_;
    bool started_ = false;
    Display* display_ = nullptr;
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // top row first
    const std::uint8_t* at(int x, int y) const { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
};

// The whole virtual desktop as the X server shows it.
Picture screenshot(Display* d)
{
    Picture p;
    const Window root = DefaultRootWindow(d);
    XWindowAttributes a{};
    XGetWindowAttributes(d, root, &a);
    XImage* image = XGetImage(d, root, 0, 0, static_cast<unsigned>(a.width), static_cast<unsigned>(a.height),
                              AllPlanes, ZPixmap);
    if (image == nullptr) return p;
    p.width = a.width;
    p.height = a.height;
    p.rgb.resize(static_cast<std::size_t>(p.width) * p.height * 3);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const unsigned long v = XGetPixel(image, x, y);
            std::uint8_t* q = &p.rgb[(static_cast<std::size_t>(y) * p.width + x) * 3];
            q[0] = static_cast<std::uint8_t>(v >> 16);
            q[1] = static_cast<std::uint8_t>(v >> 8);
            q[2] = static_cast<std::uint8_t>(v);
        }
    }
    XDestroyImage(image);
    return p;
}

void save(const Picture& p, const fs::path& file)
{
    std::string error;
    writeFile(file.string(), encodePng(p.width, p.height, p.rgb.data()), error);
}

// Pixels of the title's blue text in rows [top, bottom).
long bluePixels(const Picture& p, int top, int bottom)
{
    long n = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const std::uint8_t* c = p.at(x, y);
            n += c[2] > 150 && c[0] < 80 && c[1] < 80;
        }
    }
    return n;
}

// The share of the central square (half the height across) that is not
// black: the globe fills it in play, lit or in shadow (never quite black
// under the ambient light); the title screen leaves it black.
double litCentre(const Picture& p)
{
    const int side = p.height / 2;
    long lit = 0;
    for (int y = (p.height - side) / 2; y < (p.height + side) / 2; ++y) {
        for (int x = (p.width - side) / 2; x < (p.width + side) / 2; ++x) {
            const std::uint8_t* c = p.at(x, y);
            lit += c[0] + c[1] + c[2] > 24;
        }
    }
    return static_cast<double>(lit) / (static_cast<double>(side) * side);
}

// The share of pixels that changed by more than a little between two pictures.
double changed(const Picture& a, const Picture& b)
{
    long n = 0;
    for (std::size_t i = 0; i + 2 < a.rgb.size() && i + 2 < b.rgb.size(); i += 3) {
        n += std::abs(a.rgb[i] - b.rgb[i]) + std::abs(a.rgb[i + 1] - b.rgb[i + 1]) +
                 std::abs(a.rgb[i + 2] - b.rgb[i + 2]) > 48;
    }
    return static_cast<double>(n) / (static_cast<double>(a.rgb.size()) / 3);
}

template <typename Condition>
bool waitFor(Condition condition, std::chrono::seconds limit)
{
    for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
        if (condition()) return true;
        std::this_thread::sleep_for(200ms);
    }
    return false;
}

std::uintmax_t sizeOf(const fs::path& file)
{
    std::error_code e;
    const auto n = fs::file_size(file, e);
    return e ? 0 : n;
}

std::string readText(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The game's folder in the session's Wine profile: under AppData\Roaming
// (settings) or AppData\Local (records and replays).
fs::path profileFolder(const WineSession& session, const char* appData)
{
    const fs::path users = session.dir() / "prefix" / "drive_c" / "users";
    for (const auto& user : fs::directory_iterator(users)) {
        if (user.path().filename() != "Public") return user.path() / "AppData" / appData / "Glimmerfall";
    }
    return {};
}

// ALSA's default device writes everything played, as 16-bit stereo WAV, to a
// file (and plays it nowhere).
std::string recordingAsoundrc(const fs::path& file)
{
    return "pcm.!default { type plug slave { pcm \"record\" format S16_LE rate 44100 channels 2 } }\n"
           "pcm.record { type file slave.pcm \"null\" file \"" + file.string() + "\" format \"wav\" }\n";
}

// Also what the game keeps in the profile: the settings as the keys changed
// them, and the game closed during play as the last replay, which the game
// plays again by itself in an ordinary window (whose size it then keeps)
// and the Linux runner plays too.
TEST(GameUnderWine, ShowsTheTitlePlaysWithSpaceAndWSoundsAndEndsWithOneWhenClosed)
{
    const fs::path sound = fs::path(::testing::TempDir()) / ("wine_play_" + std::to_string(getpid()) + ".wav");
    fs::remove(sound);
    WineSession session("play", recordingAsoundrc(sound));
    ASSERT_TRUE(session.ready());
    Display* d = session.display();
    ChildProcess game(session.program({env("GLIMMERFALL_EXE")}, env("GLIMMERFALL_DATA_DIR")));
    ASSERT_TRUE(game.started());

    const Window w = waitForGameWindow(d, 60);
    ASSERT_NE(w, 0u) << "no window titled Glimmerfall V1.0; stderr:\n" << game.errSoFar();
    XWindowAttributes a{};
    XGetWindowAttributes(d, w, &a);
    EXPECT_GE(a.width, 1024) << "maximised over the 1024×768 desktop";
    EXPECT_GE(a.height, 768);

    // The title: blue text in the upper part, nothing in the lower.
    Picture title;
    EXPECT_TRUE(waitFor([&] {
        title = screenshot(d);
        return bluePixels(title, 0, title.height / 2) > 4000;
    }, 30s)) << "no title text";
    save(title, session.dir() / "title.png");
    EXPECT_LT(bluePixels(title, title.height * 3 / 5, title.height), 100);
    EXPECT_LT(litCentre(title), 0.15);  // only the text crosses it

    // Space starts play: the lit globe fills the middle. (The game reads its
    // keys once a frame: a press is held for a few frames, as by a player.)
    session.focusDesktop();
    session.xdotool("keydown space sleep 0.2 keyup space");
    Picture play;
    EXPECT_TRUE(waitFor([&] {
        play = screenshot(d);
        return litCentre(play) > 0.3;
    }, 15s)) << "no globe after Space";
    save(play, session.dir() / "play.png");

    // Without W the view barely moves; holding W flies the ship, and the
    // camera swings the sky and the globe after it.
    std::this_thread::sleep_for(1s);
    const Picture still1 = screenshot(d);
    std::this_thread::sleep_for(1s);
    const Picture still2 = screenshot(d);
    const std::uintmax_t beforeW = sizeOf(sound);
    session.xdotool("keydown w");
    std::this_thread::sleep_for(1500ms);
    const std::uintmax_t thrusting = sizeOf(sound);
    const Picture flying1 = screenshot(d);
    std::this_thread::sleep_for(1s);
    const Picture flying2 = screenshot(d);
    const std::uintmax_t afterW = sizeOf(sound);
    session.xdotool("keyup w");
    save(flying2, session.dir() / "flying.png");
    // The volume two steps down (the main row's and the keypad's minus) and
    // the music off, each kept at once.
    session.xdotool("key minus sleep 0.2 key KP_Subtract sleep 0.2 key m sleep 0.3");
    const double still = changed(still1, still2);
    const double flying = changed(flying1, flying2);
    EXPECT_GT(flying, 2 * still + 0.01) << "changed without W " << still << ", with W " << flying;

    // Alt+F4 closes the window; the game ends with 1.
    session.xdotool("key alt+F4");
    const ProcessResult run = game.finish(30);
    EXPECT_EQ(run.exitCode, 1) << run.err;

    // The sound: the music from the start, and the engine on top of it while
    // W was held. Wine writes ahead of time into a device that never waits,
    // so the file's sizes at the key presses mark where the keys fall in it.
    const WaveCapture capture = readWaveCapture(sound.string());
    ASSERT_TRUE(capture.ok) << capture.error;
    const std::size_t frameBytes = 4;
    auto at = [&](std::uintmax_t bytes) { return std::min<std::size_t>(capture.mono.size(), bytes / frameBytes); };
    const double music = rmsDb(capture.mono, 0, at(beforeW));
    const double musicBeforeW = rmsDb(capture.mono, at(beforeW) - (at(afterW) - at(thrusting)), at(beforeW));
    const double withEngine = rmsDb(capture.mono, at(thrusting), at(afterW));
    std::printf("pictures changed %.3f without W, %.3f with W; sound %.1f dB RMS before W, %.1f dB "
                "while W was held\n",
                still, flying, musicBeforeW, withEngine);
    EXPECT_GT(music, -30.0) << "music";
    EXPECT_GT(withEngine, musicBeforeW + 2.0) << "music alone " << musicBeforeW << " dB, with the engine "
                                              << withEngine << " dB";
    if (!::testing::Test::HasFailure()) fs::remove(sound);

    // Kept in the profile: a maximised window keeps no size.
    const fs::path settings = profileFolder(session, "Roaming") / "settings.ini";
    const fs::path lastReplay = profileFolder(session, "Local") / "last.replay";
    std::string kept = readText(settings);
    EXPECT_NE(kept.find("volume = 8\nmusic = off\n"), std::string::npos) << kept;
    EXPECT_NE(kept.find("fullscreen = off\n"), std::string::npos) << kept;
    EXPECT_EQ(kept.find("width"), std::string::npos) << kept;
    ASSERT_TRUE(fs::exists(lastReplay)) << run.err;

    // The replay in the window: it starts with the kept volume and music,
    // plays to its end as it was played and the program ends with 0; the
    // ordinary window's size is kept.
    const ProcessResult replayed = runProcess(session.program(
        {env("GLIMMERFALL_EXE"), "--windowed", "--replay", session.windowsPath(lastReplay)}, env("GLIMMERFALL_DATA_DIR")));
    EXPECT_EQ(replayed.exitCode, 0) << replayed.err;
    EXPECT_EQ(replayed.err.find("its own way"), std::string::npos) << replayed.err;
    kept = readText(settings);
    EXPECT_NE(kept.find("volume = 8\nmusic = off\n\n[window]\nfullscreen = off\nwidth = "), std::string::npos) << kept;
    const ProcessResult refused = runProcess(session.program(
        {env("GLIMMERFALL_EXE"), "--replay", session.windowsPath(settings)}, env("GLIMMERFALL_DATA_DIR")));
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("cannot play the replay"), std::string::npos) << refused.err;

    // The Linux runner takes the replay from the other platform and plays it
    // through; its checksums say whether and where the two part.
    const std::string runner = env("GLIMMERFALL_NATIVE_RUNNER");
    if (!runner.empty()) {
        ProcessOptions o;
        o.args = {runner};
        o.env = {"ALSOFT_DRIVERS=null"};
        o.folder = env("GLIMMERFALL_DATA_DIR");
        o.input = "replay " + lastReplay.string() + "\nstate\nquit\n";
        o.timeoutSeconds = 120;
        const ProcessResult onLinux = runProcess(o);
        EXPECT_EQ(onLinux.err.find("cannot replay"), std::string::npos) << onLinux.err;
        EXPECT_EQ(onLinux.err.find("did not end"), std::string::npos) << onLinux.err;
        EXPECT_TRUE(onLinux.exitCode == 1 || onLinux.err.find("its own way after frame") != std::string::npos)
            << onLinux.exitCode << ": " << onLinux.err;
        std::printf("the Windows replay in the Linux runner: %s\n",
                    onLinux.exitCode == 1 ? "exact, to its last frame" : onLinux.err.c_str());
    }
}

TEST(GameUnderWine, WithoutASoundDeviceShowsTheDirectSoundBoxAndEndsWithOne)
{
    // ALSA's default device is a sound card that is not there.
    WineSession session("nosound", "pcm.!default { type hw card 7 }\nctl.!default { type hw card 7 }\n");
    ASSERT_TRUE(session.ready());
    Display* d = session.display();
    ChildProcess game(session.program({env("GLIMMERFALL_EXE")}, env("GLIMMERFALL_DATA_DIR")));
    ASSERT_TRUE(game.started());

    const Window box = waitForWindow(d, "DirectSound Sample", 60);
    ASSERT_NE(box, 0u) << "no box captioned DirectSound Sample; stderr:\n" << game.errSoFar();
    // The box paints its text and button a moment after it maps.
    std::this_thread::sleep_for(2s);
    save(screenshot(d), session.dir() / "no-sound.png");
    EXPECT_NE(game.errSoFar().find("Error initializing DirectSound.  Sample will now exit."), std::string::npos)
        << game.errSoFar();
    EXPECT_EQ(findWindow(d, DefaultRootWindow(d), "Glimmerfall V1.0"), 0u) << "the window stays hidden";

    // Closing the box (Enter presses its button) ends the program.
    session.focusDesktop();
    session.xdotool("key Return");
    const ProcessResult run = game.finish(30);
    EXPECT_EQ(run.exitCode, 1) << run.err;
}

TEST(Installer, InstallsSilentlyTheInstalledGameStartsAndTheUninstallerRemovesEveryFile)
{
    WineSession session("install", "pcm.!default { type null }\n");
    ASSERT_TRUE(session.ready());
    const fs::path programFiles = session.dir() / "prefix" / "drive_c" / "Program Files";
    const fs::path folder = programFiles / "Glimmerfall";
    const fs::path menu = session.dir() / "prefix" / "drive_c" / "ProgramData" / "Microsoft" / "Windows" /
                          "Start Menu" / "Programs";
    const ProcessResult install = runProcess(session.program({env("GLIMMERFALL_SETUP"), "/S"}, "/"));
    ASSERT_EQ(install.exitCode, 0) << install.err;
    for (const char* file : {"glimmerfall.exe", "earth3.bmp", "moon.bmp", "particlecheaper4.bmp", "MyFont.bmp",
                             "ship.bmp", "pickup.wav", "thrust.wav", "MUSIC.wav", "ragdoll.rag", "README.txt",
                             "Uninstall.exe"}) {
        EXPECT_TRUE(fs::exists(folder / file)) << file;
    }
    EXPECT_TRUE(fs::exists(menu / "Glimmerfall 1.0" / "Glimmerfall.lnk"));

    // Started from elsewhere, the installed game finds its data beside itself.
    const std::string exe = "C:\\Program Files\\Glimmerfall\\glimmerfall.exe";
    const ProcessResult version = runProcess(session.program({exe, "--version"}, "/"));
    EXPECT_EQ(version.out, std::string("glimmerfall ") + GLIMMERFALL_VERSION + "\n");
    ChildProcess game(session.program({exe}, "/"));
    ASSERT_NE(waitForGameWindow(session.display(), 60), 0u) << game.errSoFar();
    session.focusDesktop();
    session.xdotool("key alt+F4");
    const ProcessResult run = game.finish(30);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.find("cannot"), std::string::npos) << "every data file found: " << run.err;

    // The uninstaller runs on from a copy of itself; it is done once the
    // folder is gone.
    const ProcessResult uninstall =
        runProcess(session.program({"C:\\Program Files\\Glimmerfall\\Uninstall.exe", "/S"}, "/"));
    EXPECT_EQ(uninstall.exitCode, 0);
    EXPECT_TRUE(waitFor([&] { return !fs::exists(folder); }, 30s))
        << "left behind: " << (fs::exists(folder) ? fs::directory_iterator(folder)->path().string() : "");
    EXPECT_FALSE(fs::exists(menu / "Glimmerfall 1.0"));
}

}  // namespace
