#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One line of a runner script, already checked.
struct ScriptCommand {
    enum class Kind {
        Frames,      // count
        Key,         // message (wmKeyDown/wmKeyUp), key, repeat
        MouseButton, // message
        MouseMove,   // x, y
        PadAttach,
        PadAxis,     // value
        PadButton,   // button, down
        PadDetach,
        Resize,      // width, height
        Focus,       // down: the window has the focus (on) or not (off)
        Screenshot,  // path
        State,
        Stats,       // resident memory and live texture names
        Autopilot,   // count
        Level,       // count: the level to start, 1..levelCount
        Replay,      // path: a replay file to play from a fresh start
        Quit,
    };

    Kind kind = Kind::Quit;
    int line = 0;
    std::int64_t count = 0;
    std::uint32_t message = 0;
    std::uint32_t key = 0;
    bool repeat = false;
    int x = 0;
    int y = 0;
    int value = 0;
    int button = 0;
    bool down = false;
    int width = 0;
    int height = 0;
    std::string path;
};

struct ScriptParseResult {
    std::vector<ScriptCommand> commands;
    std::string error;  // "line N: ..." when the script is not valid
    bool ok() const { return error.empty(); }
};

// Reads a whole script: one command a line, '#' starts a comment, blank lines
// are skipped. Stops at the first bad line.
ScriptParseResult parseScript(std::string_view text);

// The virtual-key code of a key name (a letter, a digit, space, escape, left,
// right, up, down, minus, equals or plus (the same key), kpminus, kpplus),
// or 0 when the name is none of these.
std::uint32_t keyCodeOfName(std::string_view name);
