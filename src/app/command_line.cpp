#include "app/command_line.h"

#include <string_view>

CommandLine parseCommandLine(int argc, const char* const* argv)
{
    CommandLine c;
    bool help = false;
    bool version = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            help = true;
        } else if (arg == "--version") {
            version = true;
        } else if (arg == "--fullscreen") {
            c.windowMode = WindowMode::fullscreen;
            c.windowModeGiven = true;
        } else if (arg == "--windowed") {
            c.windowMode = WindowMode::windowed;
            c.windowModeGiven = true;
        } else if (arg == "--data" || arg.starts_with("--data=")) {
            std::string_view folder;
            if (arg == "--data") {
                if (i + 1 >= argc) {
                    c.error = "option '--data' needs a folder";
                    break;
                }
                folder = argv[++i];
            } else {
                folder = arg.substr(7);
            }
            if (folder.empty()) {
                c.error = "option '--data' needs a folder";
                break;
            }
            c.dataFolder = folder;
        } else if (arg.starts_with("-")) {
            c.error = "unknown option '" + std::string(arg) + "'";
            break;
        } else {
            c.error = "unexpected argument '" + std::string(arg) + "'";
            break;
        }
    }
    if (help) {
        c.action = CommandLine::Action::help;
    } else if (version) {
        c.action = CommandLine::Action::version;
    } else if (!c.error.empty()) {
        c.action = CommandLine::Action::error;
    }
    return c;
}

const char* usageText()
{
    return "Usage: glimmerfall [OPTION]...\n"
           "Fly a ship around a glowing globe and collect the lights.\n"
           "\n"
           "  --fullscreen  start covering the whole screen\n"
           "  --windowed    start in an ordinary window (not maximised)\n"
           "  --data DIR    read the game's data files from DIR\n"
           "  -h, --help    show this help and exit\n"
           "  --version     show the version and exit\n"
           "\n"
           "F11 or Alt+Enter switches between fullscreen and the window.\n"
           "Keys: W/S thrust, A/D steer, Space starts and confirms, P or Esc pauses,\n"
           "-/+ the volume, M the music on and off.\n";
}
