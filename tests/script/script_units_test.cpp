#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <set>

#include "app/messages.h"
#include "mini_json.h"
#include "physics/ship.h"
#include "png_check.h"
#include "png_writer.h"
#include "script_command.h"
#include "state_report.h"

namespace {

using Kind = ScriptCommand::Kind;

TEST(ScriptParser, ReadsEveryCommandWithCommentsAndBlankLines)
{
    const auto r = parseScript(
        "# a whole-line comment\n"
        "\n"
        "frames 12   # trailing comment\n"
        "key down W\n"
        "key up space\n"
        "key repeat 7\n"
        "mouse down middle\n"
        "mouse move -5 300\n"
        "pad attach\n"
        "pad axis -32768\n"
        "pad button 1 up\n"
        "pad detach\n"
        "resize 640 480\n"
        "screenshot out/title.png\n"
        "state\n"
        "autopilot 0\n"
        "level 9\n"
        "focus off\n"
        "quit");  // no final newline
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.commands.size(), 17u);
    const auto& c = r.commands;
    EXPECT_EQ(c[0].kind, Kind::Frames);
    EXPECT_EQ(c[0].count, 12);
    EXPECT_EQ(c[0].line, 3);
    EXPECT_EQ(c[1].kind, Kind::Key);
    EXPECT_EQ(c[1].message, wmKeyDown);
    EXPECT_EQ(c[1].key, static_cast<std::uint32_t>('W'));
    EXPECT_FALSE(c[1].repeat);
    EXPECT_EQ(c[2].message, wmKeyUp);
    EXPECT_EQ(c[2].key, vkSpace);
    EXPECT_EQ(c[3].message, wmKeyDown);
    EXPECT_TRUE(c[3].repeat);
    EXPECT_EQ(c[3].key, static_cast<std::uint32_t>('7'));
    EXPECT_EQ(c[4].message, wmMButtonDown);
    EXPECT_EQ(c[5].kind, Kind::MouseMove);
    EXPECT_EQ(c[5].x, -5);
    EXPECT_EQ(c[5].y, 300);
    EXPECT_EQ(c[6].kind, Kind::PadAttach);
    EXPECT_EQ(c[7].value, -32768);
    EXPECT_EQ(c[8].button, 1);
    EXPECT_FALSE(c[8].down);
    EXPECT_EQ(c[9].kind, Kind::PadDetach);
    EXPECT_EQ(c[10].width, 640);
    EXPECT_EQ(c[10].height, 480);
    EXPECT_EQ(c[11].path, "out/title.png");
    EXPECT_EQ(c[12].kind, Kind::State);
    EXPECT_EQ(c[13].kind, Kind::Autopilot);
    EXPECT_EQ(c[14].kind, Kind::Level);
    EXPECT_EQ(c[14].count, 9);
    EXPECT_EQ(c[15].kind, Kind::Focus);
    EXPECT_FALSE(c[15].down);
    EXPECT_EQ(c[16].kind, Kind::Quit);
    EXPECT_EQ(c[16].line, 19);
}

TEST(ScriptParser, KeyNames)
{
    EXPECT_EQ(keyCodeOfName("a"), static_cast<std::uint32_t>('A'));
    EXPECT_EQ(keyCodeOfName("Z"), static_cast<std::uint32_t>('Z'));
    EXPECT_EQ(keyCodeOfName("0"), static_cast<std::uint32_t>('0'));
    EXPECT_EQ(keyCodeOfName("escape"), vkEscape);
    EXPECT_EQ(keyCodeOfName("left"), vkLeft);
    EXPECT_EQ(keyCodeOfName("right"), vkRight);
    EXPECT_EQ(keyCodeOfName("up"), vkUp);
    EXPECT_EQ(keyCodeOfName("down"), vkDown);
    EXPECT_EQ(keyCodeOfName("ab"), 0u);
    EXPECT_EQ(keyCodeOfName("-"), 0u);
    EXPECT_EQ(keyCodeOfName("Space"), 0u);
    EXPECT_EQ(keyCodeOfName(""), 0u);
}

TEST(ScriptParser, BadLinesAreReportedWithTheirNumber)
{
    const struct {
        const char* script;
        const char* expected;
    } cases[] = {
        {"frames 1\njump\n", "line 2: unknown command 'jump'"},
        {"frames\n", "line 1: frames needs"},
        {"frames -1\n", "line 1: frames needs"},
        {"frames 1x\n", "line 1: frames needs"},
        {"frames 1 2\n", "line 1: frames needs"},
        {"autopilot many\n", "line 1: autopilot needs"},
        {"level 0\n", "line 1: level needs"},
        {"level 10\n", "line 1: level needs"},
        {"# c\n\nkey press W\n", "line 3: usage: key"},
        {"key down shift\n", "line 1: unknown key 'shift'"},
        {"mouse down wheel\n", "line 1: mouse buttons"},
        {"mouse move 1\n", "line 1: usage: mouse"},
        {"mouse move 1 99999\n", "line 1: mouse move needs"},
        {"pad axis 32768\n", "line 1: pad axis needs"},
        {"pad button 15 down\n", "line 1: usage: pad button"},
        {"pad button 0 pressed\n", "line 1: usage: pad button"},
        {"pad shake\n", "line 1: usage: pad"},
        {"resize 0 10\n", "line 1: resize needs"},
        {"resize 100\n", "line 1: resize needs"},
        {"screenshot shot.bmp\n", "line 1: usage: screenshot"},
        {"screenshot\n", "line 1: usage: screenshot"},
        {"state now\n", "line 1: state takes no arguments"},
        {"quit 0\n", "line 1: quit takes no arguments"},
        {"focus lost\n", "line 1: usage: focus"},
        {"Frames 1\n", "line 1: unknown command 'Frames'"},
    };
    for (const auto& c : cases) {
        const auto r = parseScript(c.script);
        EXPECT_FALSE(r.ok()) << c.script;
        EXPECT_EQ(r.error.rfind(c.expected, 0), 0u) << c.script << " gave: " << r.error;
        EXPECT_TRUE(r.commands.empty());
    }
}

TEST(ScriptParser, AnEmptyScriptIsValid)
{
    EXPECT_TRUE(parseScript("").ok());
    EXPECT_TRUE(parseScript("\n# nothing\n   \n").ok());
    EXPECT_TRUE(parseScript("\n# nothing\n   \n").commands.empty());
}

TEST(PngWriter, EncodedImagesDecodeToTheSamePixels)
{
    const int w = 7;  // odd width: rows are not a multiple of four bytes
    const int h = 5;
    std::vector<std::uint8_t> rgb(w * h * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) {
        rgb[i] = static_cast<std::uint8_t>(i * 37 + 11);
    }
    const auto png = encodePng(w, h, rgb.data());
    const DecodedPng d = decodePng(png);
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.width, w);
    EXPECT_EQ(d.height, h);
    EXPECT_EQ(d.pixels, rgb);

    // A damaged byte is caught by the chunk CRC.
    auto broken = png;
    broken[broken.size() / 2] ^= 0x40;
    EXPECT_FALSE(decodePng(broken).ok);
}

TEST(PngWriter, WritingToAMissingFolderFailsWithAReason)
{
    std::string error;
    EXPECT_FALSE(writeFile("/nonexistent-folder/x.png", {1, 2, 3}, error));
    EXPECT_NE(error.find("/nonexistent-folder/x.png"), std::string::npos);
}

TEST(StateReport, HasExactlyTheListedKeysAndFloatsThatReadBackExactly)
{
    const auto state = std::make_unique<GameSnapshot>();
    Ship& ship = state->data.world.ship;
    ship.body.position = Vector4{0.1f, -19.999998f, 1.0e-7f, 0.0f};
    ship.turnInput = 1234.5678f;
    JsonValue v;
    const std::string line = gameStateJson(42, *state);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    ASSERT_TRUE(JsonParser(line).parse(v)) << line;
    ASSERT_EQ(v.type, JsonValue::Type::Object);

    const std::vector<std::string> top = {"frame",        "gameState",     "levelNumber",   "collectedCount",
                                          "levelTime",    "score",         "lastButton",    "paused",
                                          "ship",         "controls",      "particleHead",  "particleCount",
                                          "randState",    "thrustLevel",   "masterVolume",  "musicOn",
                                          "camera"};
    EXPECT_EQ(v.keys(), top);
    EXPECT_EQ(v.get("ship")->keys(),
              (std::vector<std::string>{"position", "velocity", "angularVelocity", "row0", "row1", "row2",
                                        "thrustInput", "turnInput"}));
    EXPECT_EQ(v.get("controls")->keys(),
              (std::vector<std::string>{"keyForward", "keyTurn", "keyButton", "lX", "button0", "button1",
                                        "joystickUsable"}));
    EXPECT_EQ(v.get("camera")->keys(), (std::vector<std::string>{"position", "row0", "row1", "row2"}));
    EXPECT_EQ(v.get("frame")->number, 42.0);

    const JsonValue& p = *v.get("ship")->get("position");
    ASSERT_EQ(p.items.size(), 3u);
    EXPECT_EQ(std::strtof(p.items[0].text.c_str(), nullptr), 0.1f);
    EXPECT_EQ(std::strtof(p.items[1].text.c_str(), nullptr), -19.999998f);
    EXPECT_EQ(std::strtof(p.items[2].text.c_str(), nullptr), 1.0e-7f);
    EXPECT_EQ(std::strtof(v.get("ship")->get("turnInput")->text.c_str(), nullptr), 1234.5678f);

    ship.body.velocity.x = std::nanf("");
    JsonValue withNan;
    ASSERT_TRUE(JsonParser(gameStateJson(0, *state)).parse(withNan));
    EXPECT_EQ(withNan.get("ship")->get("velocity")->items[0].type, JsonValue::Type::Null);
    ship = Ship{};
}

}  // namespace
