#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool, Status) would clash with it.
#include "game_run.h"
#include "x_window.h"
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

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
    const fs::path errFile = fs::path(::testing::TempDir()) / ("install_err_" + std::to_string(getpid()));
    std::vector<const char*> argv{program.c_str()};
    for (const std::string& a : args) {
        argv.push_back(a.c_str());
    }
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("ALSOFT_DRIVERS", "null", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (chdir(folder.c_str()) != 0 || freopen(errFile.c_str(), "w", stderr) == nullptr) {
            _exit(101);
        }
        execv(program.c_str(), const_cast<char* const*>(argv.data()));
        _exit(102);
    }
    Window w = 0;
    for (auto end = std::chrono::steady_clock::now() + 30s; w == 0 && std::chrono::steady_clock::now() < end;) {
        std::this_thread::sleep_for(100ms);
        w = findWindow(d, DefaultRootWindow(d), "Glimmerfall V1.0");
    }
    if (w != 0) {
        std::this_thread::sleep_for(300ms);  // a few frames
        XWindowAttributes a{};
        XGetWindowAttributes(d, w, &a);
        run.windowWidth = a.width;
        run.windowHeight = a.height;
        sendCloseRequest(d, w);
    }
    for (auto end = std::chrono::steady_clock::now() + 30s; std::chrono::steady_clock::now() < end;) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            run.exitCode = w != 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            run.err = readFile(errFile);
            fs::remove(errFile);
            XCloseDisplay(d);
            return run;
        }
        std::this_thread::sleep_for(20ms);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    run.err = readFile(errFile);
    fs::remove(errFile);
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
