#include "script_command.h"

#include <cctype>
#include <charconv>

#include "app/messages.h"
#include "world/level.h"

namespace {

std::vector<std::string_view> words(std::string_view line)
{
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) {
            ++i;
        }
        const std::size_t start = i;
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) {
            ++i;
        }
        if (i > start) {
            out.push_back(line.substr(start, i - start));
        }
    }
    return out;
}

bool toInteger(std::string_view s, std::int64_t low, std::int64_t high, std::int64_t& out)
{
    std::int64_t v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc{} || end != s.data() + s.size() || v < low || v > high) {
        return false;
    }
    out = v;
    return true;
}

constexpr std::int64_t maxFrames = 100'000'000;
constexpr std::int64_t maxWindowSide = 16384;

// Parses one non-empty line; returns an error text or "".
std::string parseLine(const std::vector<std::string_view>& w, ScriptCommand& c)
{
    using Kind = ScriptCommand::Kind;
    const std::string_view verb = w[0];
    const std::size_t n = w.size();
    std::int64_t v = 0;

    if (verb == "frames" || verb == "autopilot") {
        if (n != 2 || !toInteger(w[1], 0, maxFrames, v)) {
            return std::string(verb) + " needs one frame count from 0 to 100000000";
        }
        c.kind = verb == "frames" ? Kind::Frames : Kind::Autopilot;
        c.count = v;
        return "";
    }
    if (verb == "level") {
        if (n != 2 || !toInteger(w[1], 1, levelCount, v)) {
            return "level needs a level number from 1 to " + std::to_string(levelCount);
        }
        c.kind = Kind::Level;
        c.count = v;
        return "";
    }
    if (verb == "key") {
        if (n != 3 || (w[1] != "down" && w[1] != "up" && w[1] != "repeat")) {
            return "usage: key down|up|repeat NAME";
        }
        c.key = keyCodeOfName(w[2]);
        if (c.key == 0) {
            return "unknown key '" + std::string(w[2]) +
                   "' (a letter, a digit, space, escape, left, right, up, down, minus, equals, plus, "
                   "kpminus or kpplus)";
        }
        c.kind = Kind::Key;
        c.message = w[1] == "up" ? wmKeyUp : wmKeyDown;
        c.repeat = w[1] == "repeat";
        return "";
    }
    if (verb == "mouse") {
        if (n == 4 && w[1] == "move") {
            std::int64_t x = 0;
            std::int64_t y = 0;
            if (!toInteger(w[2], -32768, 32767, x) || !toInteger(w[3], -32768, 32767, y)) {
                return "mouse move needs X and Y from -32768 to 32767";
            }
            c.kind = Kind::MouseMove;
            c.x = static_cast<int>(x);
            c.y = static_cast<int>(y);
            return "";
        }
        if (n == 3 && (w[1] == "down" || w[1] == "up")) {
            const bool down = w[1] == "down";
            if (w[2] == "left") {
                c.message = down ? wmLButtonDown : wmLButtonUp;
            } else if (w[2] == "right") {
                c.message = down ? wmRButtonDown : wmRButtonUp;
            } else if (w[2] == "middle") {
                c.message = down ? wmMButtonDown : wmMButtonUp;
            } else {
                return "mouse buttons are left, right and middle";
            }
            c.kind = Kind::MouseButton;
            return "";
        }
        return "usage: mouse down|up left|right|middle, or mouse move X Y";
    }
    if (verb == "pad") {
        if (n == 2 && w[1] == "attach") {
            c.kind = Kind::PadAttach;
            return "";
        }
        if (n == 2 && w[1] == "detach") {
            c.kind = Kind::PadDetach;
            return "";
        }
        if (n == 3 && w[1] == "axis") {
            if (!toInteger(w[2], -32768, 32767, v)) {
                return "pad axis needs a value from -32768 to 32767";
            }
            c.kind = Kind::PadAxis;
            c.value = static_cast<int>(v);
            return "";
        }
        if (n == 4 && w[1] == "button") {
            if (!toInteger(w[2], 0, 14, v) || (w[3] != "down" && w[3] != "up")) {
                return "usage: pad button N down|up, N from 0 to 14";
            }
            c.kind = Kind::PadButton;
            c.button = static_cast<int>(v);
            c.down = w[3] == "down";
            return "";
        }
        return "usage: pad attach | pad axis VALUE | pad button N down|up | pad detach";
    }
    if (verb == "resize") {
        std::int64_t width = 0;
        std::int64_t height = 0;
        if (n != 3 || !toInteger(w[1], 1, maxWindowSide, width) || !toInteger(w[2], 1, maxWindowSide, height)) {
            return "resize needs a width and a height from 1 to 16384";
        }
        c.kind = Kind::Resize;
        c.width = static_cast<int>(width);
        c.height = static_cast<int>(height);
        return "";
    }
    if (verb == "focus") {
        if (n != 2 || (w[1] != "on" && w[1] != "off")) {
            return "usage: focus on|off";
        }
        c.kind = Kind::Focus;
        c.down = w[1] == "on";
        return "";
    }
    if (verb == "replay") {
        if (n != 2) {
            return "usage: replay FILE";
        }
        c.kind = Kind::Replay;
        c.path = std::string(w[1]);
        return "";
    }
    if (verb == "screenshot") {
        if (n != 2 || w[1].size() < 5 || w[1].substr(w[1].size() - 4) != ".png") {
            return "usage: screenshot FILE.png";
        }
        c.kind = Kind::Screenshot;
        c.path = std::string(w[1]);
        return "";
    }
    if (verb == "state" || verb == "stats" || verb == "quit") {
        if (n != 1) {
            return std::string(verb) + " takes no arguments";
        }
        c.kind = verb == "state" ? Kind::State : verb == "stats" ? Kind::Stats : Kind::Quit;
        return "";
    }
    return "unknown command '" + std::string(verb) + "'";
}

}  // namespace

std::uint32_t keyCodeOfName(std::string_view name)
{
    if (name.size() == 1) {
        const unsigned char ch = static_cast<unsigned char>(name[0]);
        if (std::isalpha(ch)) {
            return static_cast<std::uint32_t>(std::toupper(ch));
        }
        if (std::isdigit(ch)) {
            return ch;
        }
        return 0;
    }
    if (name == "space") return vkSpace;
    if (name == "escape") return vkEscape;
    if (name == "left") return vkLeft;
    if (name == "right") return vkRight;
    if (name == "up") return vkUp;
    if (name == "down") return vkDown;
    if (name == "minus") return vkOemMinus;
    if (name == "equals" || name == "plus") return vkOemPlus;
    if (name == "kpminus") return vkSubtract;
    if (name == "kpplus") return vkAdd;
    return 0;
}

ScriptParseResult parseScript(std::string_view text)
{
    ScriptParseResult result;
    int lineNumber = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        const std::size_t hash = line.find('#');
        if (hash != std::string_view::npos) {
            line = line.substr(0, hash);
        }
        const auto w = words(line);
        if (w.empty()) {
            if (end == text.size()) {
                break;
            }
            continue;
        }
        ScriptCommand c;
        c.line = lineNumber;
        const std::string error = parseLine(w, c);
        if (!error.empty()) {
            result.error = "line " + std::to_string(lineNumber) + ": " + error;
            result.commands.clear();
            return result;
        }
        result.commands.push_back(std::move(c));
        if (end == text.size()) {
            break;
        }
    }
    return result;
}
