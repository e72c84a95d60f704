// Screenshots of the title screen and of a frame of play, read back from the
// runner's PNGs: blue text where the screen places it, black elsewhere, and
// the globe in the middle of a frame of play.
#include <gtest/gtest.h>

#include "runner_process.h"
#include "screen_image.h"

namespace {

TEST(Screens, TitleTextOnBlackThenTheGlobeAndTheClockInPlay)
{
    const std::string title = tempPath("title.png");
    const std::string play = tempPath("play.png");
    RunOptions options;
    options.size = "160x128";
    const RunResult r = runScript("frames 2\nscreenshot " + title +
                                      "\n"
                                      "key down space\nframes 2\nkey up space\nframes 60\nstate\n"
                                      "screenshot " +
                                      play + "\nquit\n",
                                  options);
    ASSERT_EQ(r.exitCode, 1) << r.err;
    const std::vector<JsonValue> s = r.states();
    ASSERT_EQ(s.size(), 1u) << r.err;
    ASSERT_EQ(num(s[0], "gameState"), 1);

    const ScreenImage t(title);
    ASSERT_TRUE(t.ok()) << t.error();
    EXPECT_EQ(t.width(), 160);
    EXPECT_EQ(t.height(), 128);
    const NdcBox name = textBox("glimmerfall", 0.7, 0.5, 0.07, 0.1);
    const NdcBox author = textBox("by vandrel", 0.625, 0.0, 0.07, 0.1);
    EXPECT_GT(t.countBlue(name), 80);
    EXPECT_GT(t.countBlue(author), 60);
    // Each text's first and last letters are where they belong.
    EXPECT_GT(t.countBlue(NdcBox{name.x0, name.x0 + 0.14, name.y0, name.y1}), 5);
    EXPECT_GT(t.countBlue(NdcBox{name.x1 - 0.14, name.x1, name.y0, name.y1}), 5);
    EXPECT_GT(t.countBlue(NdcBox{author.x0, author.x0 + 0.14, author.y0, author.y1}), 5);
    EXPECT_EQ(t.strayPixels({name, author}, 1), 0);
    EXPECT_EQ(t.countScenery(name), 0) << "the title text is blue only";
    EXPECT_EQ(t.countScenery(author), 0) << "the title text is blue only";

    // A frame of play: the globe fills the middle, in colours beside the
    // blue of its seas; the clock's digits and the word "time" sit above.
    const ScreenImage p(play);
    ASSERT_TRUE(p.ok()) << p.error();
    const NdcBox middle{-0.3, 0.3, -0.3, 0.3};
    const int middlePixels = (160 * 3 / 10) * (160 * 3 / 10);
    EXPECT_GT(p.countNonBlack(middle), middlePixels / 2);
    EXPECT_GT(p.countScenery(middle), middlePixels / 5);  // land and cloud, not only the dark blue sea
    const int remaining = static_cast<int>(500.0 - num(s[0], "levelTime"));
    EXPECT_GT(p.countBlue(numberBox(remaining, 0.3, 0.5, 0.05), 2), 40);
    EXPECT_GT(p.countBlue(textBox("time", 0.0, 0.5, 0.1, 0.1, false)), 30);
}

}  // namespace
