#include "store/replay_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "replay_sample.h"
#include "scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using ReplayFile = ScratchFolder;

const ReplayHeader header{Platform::windows, "1.0", 0x0123456789abcdefull};

// Reads every frame of `bytes` and checks it against `frames`.
void expectFrames(ReplayReader& reader, const std::vector<ReplayFrame>& frames)
{
    ReplayFrame f;
    std::uint32_t n = 0;
    while (reader.nextFrame(f)) {
        ASSERT_LT(n, frames.size());
        ASSERT_EQ(f, frames[n]) << "frame " << n + 1;
        ++n;
        EXPECT_EQ(reader.checksumAfterFrame(),
                  n % 60 == 0 ? std::optional(pretendChecksum(n)) : std::nullopt) << n;
    }
    EXPECT_EQ(n, frames.size());
}

TEST(Replay, RoundTripsPlayCompactly)
{
    const std::vector<ReplayFrame> frames = playLikeFrames(3 * 3600, 1);
    const std::string bytes = encodeReplay(header, frames, -5);
    ASSERT_NE(bytes, "");
    ReplayReader reader;
    ASSERT_EQ(reader.openBytes(bytes, {"1.0", header.dataChecksum}), ReplayRefusal::none) << reader.error();
    EXPECT_EQ(reader.header(), header);
    EXPECT_EQ(reader.trailer(), (ReplayTrailer{3 * 3600, -5, 42}));
    expectFrames(reader, frames);
    reader.rewind();
    expectFrames(reader, frames);
    // Checksums alone take 8 bytes every 60 frames; the bursts of thousands
    // of sound answers take most of the rest.
    EXPECT_LT(bytes.size(), frames.size() * 4) << bytes.size();

    // Frames that repeat cost a byte per 60 frames, besides the checksums.
    const std::string still = encodeReplay(header, std::vector<ReplayFrame>(600, frames[5]));
    EXPECT_LT(still.size(), 60 + 10 * 9 + 40u) << still.size();

    // Signed zeros and extreme values come back bit for bit.
    std::vector<ReplayFrame> edges(3);
    edges[1].inputs = {-0.0f, 3.4e38f, -1e-45f, INT32_MIN, 255, 1, INT32_MAX};
    edges[1].soundAnswers.assign(maxSoundAnswersPerFrame, 3);
    edges[2].inputs.lX = INT32_MAX;
    ASSERT_EQ(reader.openBytes(encodeReplay(header, edges)), ReplayRefusal::none) << reader.error();
    ReplayFrame f;
    reader.nextFrame(f);
    reader.nextFrame(f);
    EXPECT_TRUE(std::signbit(f.inputs.keyForward));
    EXPECT_EQ(f, edges[1]);
    reader.nextFrame(f);
    EXPECT_EQ(f, edges[2]);
}

TEST(Replay, EncoderRefusesWhatTheFormatCannotHold)
{
    ReplayEncoder noChecksum(header);
    for (int i = 0; i < 61; ++i) noChecksum.addFrame({}, {});
    EXPECT_NE(noChecksum.finish(0, 0).find("state checksum after frame 60 is missing"), std::string::npos);

    ReplayEncoder late(header);
    late.addFrame({}, {});
    late.addStateChecksum(1);
    EXPECT_NE(late.finish(0, 0).find("after every 60th frame only"), std::string::npos);

    const std::uint8_t badAnswer[] = {1, 4};
    ReplayEncoder answers(header);
    answers.addFrame({}, badAnswer);
    EXPECT_NE(answers.finish(0, 0), "");

    ReplayEncoder nan(header);
    nan.addFrame({std::numeric_limits<float>::quiet_NaN()}, {});
    EXPECT_NE(nan.finish(0, 0), "");

    for (const char* version : {"", "1 0", "123456789012345678901234567890123"}) {
        ReplayEncoder bad({Platform::gnuLinux, version, 0});
        EXPECT_NE(bad.finish(0, 0), "") << version;
    }
}

TEST(Replay, RefusalsTellForeignFilesVersionsDataAndDamageApart)
{
    const std::string good = encodeReplay(header, playLikeFrames(200, 2));
    ReplayReader reader;
    auto refusal = [&reader](std::string bytes, const ReplayExpectation& expect = {}) {
        return reader.openBytes(std::move(bytes), expect);
    };
    EXPECT_EQ(refusal(good), ReplayRefusal::none);
    EXPECT_EQ(refusal("\x89PNG\r\n\x1a\nmore"), ReplayRefusal::foreignFile);
    EXPECT_EQ(refusal("GF"), ReplayRefusal::damaged);
    EXPECT_EQ(refusal("text"), ReplayRefusal::foreignFile);
    std::string later = good;
    later[8] = 2;
    EXPECT_EQ(refusal(later), ReplayRefusal::unsupportedFormat);
    EXPECT_EQ(reader.error(), "a replay in format version 2, and this game reads version 1");
    EXPECT_EQ(refusal(good, {"1.1", {}}), ReplayRefusal::otherGameVersion);
    EXPECT_EQ(reader.error(), "the replay was made with Glimmerfall 1.0, and this is 1.1");
    EXPECT_EQ(refusal(good, {"1.0", 7}), ReplayRefusal::otherData);
    // A refused replay gives no frames, even after an accepted one.
    ReplayFrame f;
    EXPECT_FALSE(reader.nextFrame(f));

    // Cut anywhere, the file is refused as damaged; one flipped bit anywhere
    // past the magic and the format version also.
    for (std::size_t size = 0; size < good.size(); ++size) {
        EXPECT_EQ(refusal(good.substr(0, size)), ReplayRefusal::damaged) << size;
    }
    for (std::size_t at = 10; at < good.size(); ++at) {
        std::string flipped = good;
        flipped[at] = static_cast<char>(flipped[at] ^ (1 << (at % 8)));
        EXPECT_EQ(refusal(flipped), ReplayRefusal::damaged) << at;
        EXPECT_NE(reader.error(), "");
    }
}

TEST_F(ReplayFile, WriterStreamsAndReplacesTheOldReplayOnlyWhenFinished)
{
    const fs::path file = folder / "data" / "last.replay";
    const std::vector<ReplayFrame> frames = playLikeFrames(20000, 3);
    {
        ReplayWriter writer;
        ASSERT_EQ(writer.open(file, header), "");
        for (const ReplayFrame& f : frames) {
            writer.addFrame(f.inputs, f.soundAnswers);
            if (writer.checksumDue()) writer.addStateChecksum(pretendChecksum(writer.frameCount()));
        }
        // Streamed already, but not in place before the trailer.
        EXPECT_FALSE(fs::exists(file));
        EXPECT_EQ(writer.error(), "");
        ASSERT_EQ(writer.finish(1234, 99), "");
    }
    EXPECT_EQ(slurp(file), encodeReplay(header, frames, 1234, 99));
    ReplayReader reader;
    ASSERT_EQ(reader.open(file, {"1.0", header.dataChecksum}), ReplayRefusal::none) << reader.error();
    EXPECT_EQ(reader.trailer(), (ReplayTrailer{20000, 1234, 99}));
    expectFrames(reader, frames);

    // A writer dropped unfinished, or one that failed, leaves the old file.
    const std::string before = slurp(file);
    {
        ReplayWriter dropped;
        ASSERT_EQ(dropped.open(file, header), "");
        dropped.addFrame({}, {});
    }
    ReplayWriter failed;
    ASSERT_EQ(failed.open(file, header), "");
    for (int i = 0; i < 61; ++i) failed.addFrame({}, {});
    EXPECT_NE(failed.error(), "");
    EXPECT_NE(failed.finish(0, 0), "");
    EXPECT_EQ(slurp(file), before);
    EXPECT_EQ(listing(), "data");

    EXPECT_EQ(reader.open(folder / "none.replay"), ReplayRefusal::unreadable);
    EXPECT_NE(reader.error().find("none.replay"), std::string::npos);
    spill(folder / "cut.replay", before.substr(0, 100));
    EXPECT_EQ(reader.open(folder / "cut.replay"), ReplayRefusal::damaged);
    EXPECT_EQ(reader.error().rfind((folder / "cut.replay").string() + ": the replay has no trailer", 0), 0u);
}

}  // namespace
