#include "app/command_line.h"

#include <string_view>

namespace {

// An option that takes a value, as --name VALUE or --name=VALUE.
struct ValueOption {
    const char* name;
    std::string CommandLine::*field;
    const char* needs;
};
constexpr ValueOption valueOptions[] = {
    {"--data", &CommandLine::dataFolder, "option '--data' needs a folder"},
    {"--replay", &CommandLine::replayFile, "option '--replay' needs a file"},
};

const ValueOption* valueOption(std::string_view arg)
{
    for (const ValueOption& o : valueOptions) {
        const std::string_view name = o.name;
        if (arg == name || (arg.starts_with(name) && arg.size() > name.size() && arg[name.size()] == '=')) {
            return &o;
        }
    }
    return nullptr;
}

}  // namespace

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
        } else if (const ValueOption* o = valueOption(arg)) {
            std::string_view value;
            if (arg == o->name) {
                if (i + 1 >= argc) {
                    c.error = o->needs;
                    break;
                }
                value = argv[++i];
            } else {
                value = arg.substr(std::string_view(o->name).size() + 1);
            }
            if (value.empty()) {
                c.error = o->needs;
                break;
            }
            (c.*(o->field)) = value;
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
           "  --replay FILE play a recorded game (Esc stops it, P pauses it)\n"
           "  -h, --help    show this help and exit\n"
           "  --version     show the version and exit\n"
           "\n"
           "F11 or Alt+Enter switches between fullscreen and the window.\n"
           "Keys: W/S thrust, A/D steer, Space starts and confirms, P or Esc pauses,\n"
           "-/+ the volume, M the music on and off.\n";
}
