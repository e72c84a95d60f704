#include "store/ini_lines.h"

#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr int lineRoom = 200;
constexpr std::size_t nameRoom = 50;  // section and key names kept, with their NUL

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// `text` without spaces at either end.
std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

// Where `text` stops: at the first of `stops` or at a ';' that follows a
// space (a comment), else its end.
std::size_t stopOrComment(std::string_view text, std::string_view stops)
{
    bool afterSpace = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (stops.find(text[i]) != std::string_view::npos || (afterSpace && text[i] == ';')) {
            return i;
        }
        afterSpace = isSpace(text[i]);
    }
    return text.size();
}

// At most nameRoom − 1 bytes, as kept between lines.
std::string keptName(std::string_view name)
{
    return std::string(name.substr(0, nameRoom - 1));
}

}  // namespace

int parseIniLines(IniLineReader reader, void* stream, IniEntryHandler handler, void* user)
{
    char buffer[lineRoom];
    std::string section;
    std::string previousKey;
    int lineNumber = 0;
    int firstError = 0;
    const auto fail = [&] {
        if (firstError == 0) firstError = lineNumber;
    };
    while (reader(buffer, lineRoom, stream) != nullptr) {
        ++lineNumber;
        std::string_view whole(buffer, std::strlen(buffer));
        if (lineNumber == 1 && whole.starts_with("\xEF\xBB\xBF")) {
            whole.remove_prefix(3);
        }
        const std::string_view line = trimmed(whole);
        const bool indented = !line.empty() && line.data() > buffer;
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            continue;
        }
        if (!previousKey.empty() && indented) {
            // Taken whole: a ';' here is part of the value.
            if (handler(user, section.c_str(), previousKey.c_str(), std::string(line).c_str()) == 0) fail();
        } else if (line.front() == '[') {
            const std::string_view rest = line.substr(1);
            const std::size_t end = stopOrComment(rest, "]");
            if (end < rest.size() && rest[end] == ']') {
                section = keptName(rest.substr(0, end));
                previousKey.clear();
            } else {
                fail();
            }
        } else {
            const std::size_t end = stopOrComment(line, "=:");
            if (end < line.size() && (line[end] == '=' || line[end] == ':')) {
                const std::string key(trimmed(line.substr(0, end)));
                std::string_view value = line.substr(end + 1);
                value = trimmed(value.substr(0, stopOrComment(value, "")));
                previousKey = keptName(key);
                if (handler(user, section.c_str(), key.c_str(), std::string(value).c_str()) == 0) fail();
            } else {
                fail();
            }
        }
    }
    return firstError;
}
