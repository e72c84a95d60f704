// The runner's own watch over a long run, in-process: the GL error check after
// every frame, the live texture count, the resident memory reader and the
// stats line.
#include <GL/osmesa.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "mini_json.h"
#include "script_command.h"
#include "script_host.h"
#include "state_report.h"
#include "world/textures.h"

namespace {

// The game's state the runner's host looks at.
GameData game;

struct NullOut {
    std::FILE* file = std::fopen("/dev/null", "w");
    ~NullOut() { std::fclose(file); }
};

TEST(RunnerGlCheck, TheFirstFrameThatLeavesAnErrorEndsTheRunAndIsNamed)
{
    NullOut out;
    ScriptHost host(game, 8, 8, {}, out.file);
    host.createRenderContext();
    ASSERT_NE(OSMesaGetCurrentContext(), nullptr);

    glClear(GL_COLOR_BUFFER_BIT);
    host.presentFrame();
    EXPECT_EQ(host.glError(), 0u);

    glEnable(0x7FFF);  // not a capability: GL_INVALID_ENUM
    glPushMatrix();
    glPopMatrix();
    glPopMatrix();  // one pop too many: GL_STACK_UNDERFLOW as well
    host.presentFrame();
    EXPECT_EQ(host.glError(), static_cast<unsigned>(GL_INVALID_ENUM));
    EXPECT_EQ(host.glErrorFrame(), 2);
    ASSERT_EQ(host.failures().size(), 1u);
    EXPECT_EQ(host.failures()[0].exitCode, 3);
    EXPECT_EQ(host.failures()[0].text, "GL error 0x0500 (GL_INVALID_ENUM) after frame 2");
    // Every flag was read: GL has nothing left to report.
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // Later errors do not replace the first.
    glEnable(0x7FFF);
    host.presentFrame();
    EXPECT_EQ(host.glErrorFrame(), 2);
    EXPECT_EQ(host.failures().size(), 1u);
}

// A recording that cannot be written and a GL error in one run: both are
// named, in the order they happened, and the first decides the exit code.
TEST(RunnerGlCheck, SeveralFailuresAreAllNamedInTheOrderTheyHappened)
{
    for (const bool glFirst : {false, true}) {
        NullOut out;
        ScriptHost host(game, 8, 8, {}, out.file);
        std::string error;
        ASSERT_TRUE(host.recorder().open("/dev/full", error)) << error;  // every write fails once flushed
        host.createRenderContext();
        if (glFirst) {
            glEnable(0x7FFF);
        }
        for (int i = 0; i < 4 && host.failures().empty(); ++i) {
            host.presentFrame();
        }
        glEnable(0x7FFF);
        host.presentFrame();
        host.finishRecording();
        ASSERT_EQ(host.failures().size(), 2u) << "GL first: " << glFirst;
        EXPECT_EQ(host.failures()[0].exitCode, glFirst ? 3 : 2);
        EXPECT_EQ(host.failures()[1].exitCode, glFirst ? 2 : 3);
        EXPECT_EQ(host.failures()[glFirst ? 1 : 0].text, "cannot write /dev/full");
    }
}

TEST(RunnerGlCheck, LiveTextureNamesCountWhatStillExistsOfAllNamesHeld)
{
    NullOut out;
    ScriptHost host(game, 8, 8, {}, out.file);
    host.createRenderContext();
    ASSERT_NE(OSMesaGetCurrentContext(), nullptr);

    unsigned int* textures = game.textures.names;
    auto generate = [textures] {
        glGenTextures(6, textures);
        for (int i = 0; i < 6; ++i) {
            const unsigned int name = textures[i];
            glBindTexture(GL_TEXTURE_2D, name);  // a name is a texture once bound
        }
    };
    generate();
    host.presentFrame();
    EXPECT_EQ(host.liveTextureNames(), 6);
    unsigned int first[6];
    std::memcpy(first, textures, sizeof first);

    // A set-up that forgets to delete the previous six leaks them: twelve.
    generate();
    host.presentFrame();
    EXPECT_EQ(host.liveTextureNames(), 12);

    glDeleteTextures(6, textures);
    EXPECT_EQ(host.liveTextureNames(), 6);
    glDeleteTextures(6, first);
    EXPECT_EQ(host.liveTextureNames(), 0);
    game.textures = Textures{};
}

TEST(RunnerStats, ResidentMemoryIsReadFromTheVmRssLine)
{
    const std::string path = testing::TempDir() + "status_" + std::to_string(getpid());
    std::ofstream(path) << "Name:\tglimmerfall\nVmPeak:\t  999999 kB\nVmSize:\t  888888 kB\nVmRSS:\t   12345 kB\n"
                           "Threads:\t4\n";
    EXPECT_EQ(residentKiB(path.c_str()), 12345);
    std::ofstream(path) << "Name:\tglimmerfall\nVmSize:\t  888888 kB\n";
    EXPECT_EQ(residentKiB(path.c_str()), -1);
    std::remove(path.c_str());
    EXPECT_EQ(residentKiB(path.c_str()), -1);

    // This process: touching 64 MiB shows in its resident memory.
    const long long before = residentKiB();
    ASSERT_GT(before, 0);
    constexpr std::size_t size = 64u << 20;
    std::unique_ptr<volatile char[]> block(new volatile char[size]);
    for (std::size_t i = 0; i < size; i += 4096) {
        block[i] = 1;
    }
    EXPECT_GT(residentKiB(), before + 60 * 1024);
}

TEST(RunnerStats, TheStatsCommandAndItsLine)
{
    const auto r = parseScript("stats\nstate\n");
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.commands[0].kind, ScriptCommand::Kind::Stats);
    EXPECT_EQ(r.commands[1].kind, ScriptCommand::Kind::State);
    EXPECT_EQ(parseScript("frames 1\nstats now\n").error, "line 2: stats takes no arguments");

    RunnerStats s;
    s.frame = 100000;
    s.gameState = 2;
    s.levelNumber = 3;
    s.residentKiB = 123456;
    s.textureNames = 6;
    JsonValue v;
    ASSERT_TRUE(JsonParser(runnerStatsJson(s)).parse(v));
    EXPECT_EQ(v.keys(),
              (std::vector<std::string>{"frame", "gameState", "levelNumber", "residentKiB", "textureNames"}));
    EXPECT_EQ(v.get("frame")->number, 100000);
    EXPECT_EQ(v.get("gameState")->number, 2);
    EXPECT_EQ(v.get("levelNumber")->number, 3);
    EXPECT_EQ(v.get("residentKiB")->number, 123456);
    EXPECT_EQ(v.get("textureNames")->number, 6);
}

}  // namespace
