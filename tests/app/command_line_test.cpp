#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Action = CommandLine::Action;

CommandLine parse(std::vector<const char*> args)
{
    args.insert(args.begin(), "glimmerfall");
    return parseCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(CommandLine, OptionsAsPlayersTypeThem)
{
    struct Case {
        std::vector<const char*> args;
        Action action;
        WindowMode mode;
        std::string data;
        std::string error;
    };
    const Case cases[] = {
        {{}, Action::play, WindowMode::maximised, "", ""},
        {{"--fullscreen"}, Action::play, WindowMode::fullscreen, "", ""},
        {{"--windowed"}, Action::play, WindowMode::windowed, "", ""},
        {{"--fullscreen", "--windowed"}, Action::play, WindowMode::windowed, "", ""},
        {{"--data", "/opt/x y", "--fullscreen"}, Action::play, WindowMode::fullscreen, "/opt/x y", ""},
        {{"--data=rel/dir"}, Action::play, WindowMode::maximised, "rel/dir", ""},
        {{"--data", "--windowed"}, Action::play, WindowMode::maximised, "--windowed", ""},  // a folder so named
        {{"--help"}, Action::help, WindowMode::maximised, "", ""},
        {{"-h"}, Action::help, WindowMode::maximised, "", ""},
        {{"--version", "--help"}, Action::help, WindowMode::maximised, "", ""},
        {{"--windowed", "--version"}, Action::version, WindowMode::windowed, "", ""},
        {{"--data"}, Action::error, WindowMode::maximised, "", "option '--data' needs a folder"},
        {{"--data="}, Action::error, WindowMode::maximised, "", "option '--data' needs a folder"},
        {{"--fulscreen"}, Action::error, WindowMode::maximised, "", "unknown option '--fulscreen'"},
        {{"-x", "--help"}, Action::error, WindowMode::maximised, "", "unknown option '-x'"},
        {{"level3"}, Action::error, WindowMode::maximised, "", "unexpected argument 'level3'"},
        {{"--"}, Action::error, WindowMode::maximised, "", "unknown option '--'"},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const char* a : c.args) {
            line += std::string(a) + " ";
        }
        SCOPED_TRACE(line);
        const CommandLine r = parse(c.args);
        EXPECT_EQ(r.action, c.action);
        EXPECT_EQ(r.windowMode, c.mode);
        EXPECT_EQ(r.dataFolder, c.data);
        EXPECT_EQ(r.error, c.error);
    }
}

}  // namespace
