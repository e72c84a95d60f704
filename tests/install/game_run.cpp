#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool, Status) would clash with it.
#include "game_run.h"
#include "x_window.h"
#include <X11/Xlib.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "child_process.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

GameRun runGameIn(const fs::path& program, const fs::path& folder, const std::vector<std::string>& args)
{
    GameRun run;
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) {
        run.err = "no X display";
        return run;
    }
    ProcessOptions o;
    o.args = {program.string()};
    o.args.insert(o.args.end(), args.begin(), args.end());
    o.env = {"ALSOFT_DRIVERS=null", "SDL_AUDIODRIVER=dummy"};
    o.folder = folder.string();
    o.timeoutSeconds = 90;
    ChildProcess game(o);
    const Window w = game.started() ? waitForGameWindow(d) : 0;
    if (w != 0) {
        std::this_thread::sleep_for(300ms);  // a few frames
        XWindowAttributes a{};
        XGetWindowAttributes(d, w, &a);
        run.windowWidth = a.width;
        run.windowHeight = a.height;
        sendCloseRequest(d, w);
    }
    const ProcessResult result = game.finish(30);
    run.exitCode = w != 0 && !result.timedOut ? result.exitCode : -1;
    run.err = result.err;
    XCloseDisplay(d);
    return run;
}

bool missesData(const std::string& err)
{
    return err.find("skipped") != std::string::npos || err.find("cannot load") != std::string::npos;
}

bool haveDisplay()
{
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) {
        return false;
    }
    XCloseDisplay(d);
    return true;
}
