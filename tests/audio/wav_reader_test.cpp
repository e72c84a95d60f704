#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "audio/wav_reader.h"
#include "wav_bytes.h"

namespace {

std::vector<std::uint8_t> readAll(WavReader& reader, std::uint32_t count)
{
    std::vector<std::uint8_t> out(count);
    std::uint32_t got = 0;
    EXPECT_EQ(reader.read(out.data(), count, &got), sOk);
    out.resize(got);
    return out;
}

TEST(WavReader, EighteenBytePcmFormatSkipsItsTrailingExtraSize)
{
    RiffBytes fmt;
    fmt.raw(formatBytes(1, 2, 22050, 16)).u16(0);
    RiffBytes body;
    body.chunk("fmt ", fmt.bytes).chunk("data", rampBytes(8));
    const std::vector<std::uint8_t> file = riffWave(body.bytes);

    WavReader reader;
    ASSERT_EQ(reader.openMemory(file.data(), file.size()), sOk);
    ASSERT_NE(reader.format, nullptr);
    EXPECT_EQ(reader.formatSize(), 18u);
    EXPECT_EQ(reader.format->formatTag, 1);
    EXPECT_EQ(reader.format->channels, 2);
    EXPECT_EQ(reader.format->samplesPerSec, 22050u);
    EXPECT_EQ(reader.format->avgBytesPerSec, 88200u);
    EXPECT_EQ(reader.format->blockAlign, 4);
    EXPECT_EQ(reader.format->bitsPerSample, 16);
    EXPECT_EQ(reader.format->extraSize, 0);
    EXPECT_EQ(reader.dataSize, 8u);
    EXPECT_EQ(readAll(reader, 8), rampBytes(8));
}

TEST(WavReader, NonPcmFormatKeepsItsExtraBytes)
{
    RiffBytes fmt;
    fmt.raw(formatBytes(2, 1, 8000, 4)).u16(2).u8(0xAB).u8(0xCD);
    RiffBytes body;
    body.chunk("fmt ", fmt.bytes).chunk("data", rampBytes(4));
    const std::vector<std::uint8_t> file = riffWave(body.bytes);

    WavReader reader;
    ASSERT_EQ(reader.openMemory(file.data(), file.size()), sOk);
    EXPECT_EQ(reader.formatSize(), 20u);
    EXPECT_EQ(reader.format->formatTag, 2);
    EXPECT_EQ(reader.format->extraSize, 2);
    ASSERT_NE(reader.extraBytes(), nullptr);
    EXPECT_EQ(reader.extraBytes()[0], 0xAB);
    EXPECT_EQ(reader.extraBytes()[1], 0xCD);
    EXPECT_EQ(reader.dataSize, 4u);
}

TEST(WavReader, RejectsFilesWithoutAUsableHeader)
{
    const auto expectFail = [](const std::vector<std::uint8_t>& file, const char* what) {
        WavReader reader;
        EXPECT_EQ(reader.openMemory(file.data(), file.size()), eFail) << what;
        EXPECT_EQ(reader.dataSize, 0u) << what;
        EXPECT_EQ(reader.handle, nullptr) << what;
        EXPECT_EQ(reader.format, nullptr) << what;
    };

    RiffBytes shortFmt;
    shortFmt.chunk("fmt ", rampBytes(14)).chunk("data", rampBytes(4));
    expectFail(riffWave(shortFmt.bytes), "14-byte fmt chunk");

    RiffBytes noFmt;
    noFmt.chunk("data", rampBytes(4));
    expectFail(riffWave(noFmt.bytes), "no fmt chunk");

    std::vector<std::uint8_t> notRiff = pcmWave(1, 8000, 8, rampBytes(4));
    notRiff[0] = 'X';
    expectFail(notRiff, "not RIFF");
    std::vector<std::uint8_t> notWave = pcmWave(1, 8000, 8, rampBytes(4));
    notWave[8] = 'A';
    expectFail(notWave, "not WAVE");
    expectFail({}, "empty");

    // Untrusted sizes: the extra bytes, or the extra-size field itself, would
    // lie outside the fmt chunk.
    RiffBytes extraPast;
    RiffBytes fmt;
    fmt.raw(formatBytes(2, 1, 8000, 4)).u16(100).u16(0);
    extraPast.chunk("fmt ", fmt.bytes).chunk("data", rampBytes(200));
    expectFail(riffWave(extraPast.bytes), "extra size past the fmt chunk");

    RiffBytes noExtraField;
    noExtraField.chunk("fmt ", formatBytes(2, 1, 8000, 4)).chunk("data", rampBytes(4));
    expectFail(riffWave(noExtraField.bytes), "non-PCM fmt chunk without its extra-size field");

    // A fmt chunk that claims 16 bytes where the file ends after 10.
    RiffBytes cut;
    cut.header("fmt ", 16).raw(rampBytes(10));
    expectFail(riffWave(cut.bytes), "fmt chunk cut off by the end of the file");
}

TEST(WavReader, MissingDataChunkKeepsTheFileOpenWithNoDataSize)
{
    RiffBytes body;
    body.chunk("fmt ", formatBytes(1, 1, 8000, 8)).chunk("junk", rampBytes(5));
    const std::vector<std::uint8_t> file = riffWave(body.bytes);
    WavReader reader;
    EXPECT_EQ(reader.openMemory(file.data(), file.size()), eFail);
    EXPECT_EQ(reader.dataSize, 0u);
    EXPECT_NE(reader.handle, nullptr);
    EXPECT_NE(reader.format, nullptr);
    std::uint8_t byte;
    std::uint32_t got = 99;
    EXPECT_EQ(reader.read(&byte, 1, &got), sOk);
    EXPECT_EQ(got, 0u);
}

TEST(WavReader, DataBeforeFormatIsFound)
{
    RiffBytes body;
    body.chunk("data", rampBytes(5, 40)).chunk("fmt ", formatBytes(1, 1, 11025, 8));
    const std::vector<std::uint8_t> file = riffWave(body.bytes);
    WavReader reader;
    ASSERT_EQ(reader.openMemory(file.data(), file.size()), sOk);
    EXPECT_EQ(reader.format->samplesPerSec, 11025u);
    EXPECT_EQ(reader.dataSize, 5u);
    EXPECT_EQ(readAll(reader, 5), rampBytes(5, 40));
}

TEST(WavReader, ReadsStopAtTheEndOfDataUntilRewound)
{
    const std::vector<std::uint8_t> data = rampBytes(600);
    const std::vector<std::uint8_t> file = pcmWave(1, 8000, 8, data);
    WavReader reader;
    ASSERT_EQ(reader.openMemory(file.data(), file.size()), sOk);

    std::vector<std::uint8_t> out(1000, 0);
    std::uint32_t got = 0;
    ASSERT_EQ(reader.read(out.data(), 1000, &got), sOk);
    EXPECT_EQ(got, 600u);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), out.begin()));
    ASSERT_EQ(reader.read(out.data(), 1000, &got), sOk);
    EXPECT_EQ(got, 0u);

    ASSERT_EQ(reader.rewind(), sOk);
    EXPECT_EQ(reader.dataChunk.size, 600u);
    ASSERT_EQ(reader.read(out.data(), 10, &got), sOk);
    EXPECT_EQ(got, 10u);
    EXPECT_EQ(out[0], data[0]);
    EXPECT_EQ(out[9], data[9]);
    // The next read continues where the last one stopped.
    ASSERT_EQ(reader.read(out.data(), 2, &got), sOk);
    EXPECT_EQ(out[0], data[10]);
}

TEST(WavReader, BadArgumentsAndClosedReader)
{
    const std::vector<std::uint8_t> file = pcmWave(1, 8000, 8, rampBytes(600));
    WavReader reader;
    std::uint8_t byte;
    std::uint32_t got = 0;
    EXPECT_EQ(reader.read(&byte, 1, &got), coENotInitialized);
    EXPECT_EQ(reader.rewind(), coENotInitialized);
    EXPECT_EQ(reader.open(nullptr), eInvalidArg);

    ASSERT_EQ(reader.openMemory(file.data(), file.size()), sOk);
    EXPECT_EQ(reader.read(nullptr, 100, &got), eInvalidArg);
    EXPECT_EQ(reader.dataChunk.size, 600u);  // nothing consumed
    EXPECT_EQ(reader.read(&byte, 1, nullptr), eInvalidArg);
    EXPECT_EQ(reader.dataChunk.size, 600u);

    EXPECT_EQ(reader.close(), sOk);
    EXPECT_EQ(reader.handle, nullptr);
    EXPECT_EQ(reader.read(&byte, 1, &got), coENotInitialized);
    EXPECT_NE(reader.format, nullptr);  // the format outlives the file
}

TEST(WavReader, DataSizeCountsOnlyTheBytesPresent)
{
    RiffBytes b;
    b.header("RIFF", 0xFFFFFFF0u).id("WAVE").chunk("fmt ", formatBytes(1, 1, 8000, 8));
    b.header("data", 0xFFFFFFFFu).raw(rampBytes(10));
    WavReader reader;
    ASSERT_EQ(reader.openMemory(b.bytes.data(), b.bytes.size()), sOk);
    EXPECT_EQ(reader.dataSize, 10u);
    std::vector<std::uint8_t> out(64);
    std::uint32_t got = 0;
    ASSERT_EQ(reader.read(out.data(), 64, &got), sOk);
    EXPECT_EQ(got, 10u);
}

TEST(WavReader, OpensFilesByNameAndReopens)
{
    const std::vector<std::uint8_t> data = rampBytes(RiffReader::fileBufferBytes * 3 + 11, 3);
    const std::string path = writeTempFile("long.wav", pcmWave(2, 44100, 16, data));
    const std::string other = writeTempFile("short.wav", pcmWave(1, 8000, 8, rampBytes(5)));

    WavReader reader;
    EXPECT_EQ(reader.open("/nonexistent/pickup.wav"), eFail);
    EXPECT_EQ(reader.handle, nullptr);
    ASSERT_EQ(reader.open(path.c_str()), sOk);
    EXPECT_EQ(reader.dataSize, data.size());
    // Odd piece sizes so reads straddle the I/O buffer's refills.
    std::vector<std::uint8_t> all;
    std::vector<std::uint8_t> piece(997);
    std::uint32_t got = 0;
    do {
        ASSERT_EQ(reader.read(piece.data(), 997, &got), sOk);
        all.insert(all.end(), piece.begin(), piece.begin() + got);
    } while (got > 0);
    EXPECT_EQ(all, data);

    // Opening another file while one is open replaces it.
    ASSERT_EQ(reader.open(other.c_str()), sOk);
    EXPECT_EQ(reader.dataSize, 5u);
    EXPECT_EQ(reader.format->samplesPerSec, 8000u);
    // And a failed open leaves no data size behind.
    EXPECT_EQ(reader.open("/nonexistent/pickup.wav"), eFail);
    EXPECT_EQ(reader.dataSize, 0u);
}

TEST(WavReader, FileThatShrinksAfterOpeningFailsTheRead)
{
    const std::size_t dataBytes = RiffReader::fileBufferBytes * 3;
    const std::string path = writeTempFile("shrinks.wav", pcmWave(1, 8000, 8, rampBytes(dataBytes)));
    WavReader reader;
    ASSERT_EQ(reader.open(path.c_str()), sOk);
    ASSERT_EQ(reader.dataSize, dataBytes);
    std::filesystem::resize_file(path, RiffReader::fileBufferBytes + 100);

    std::vector<std::uint8_t> out(dataBytes);
    std::uint32_t got = 123;
    EXPECT_EQ(reader.read(out.data(), static_cast<std::uint32_t>(dataBytes), &got), eFail);
    EXPECT_EQ(got, 0u);
    // The whole request was taken off the remaining size.
    EXPECT_EQ(reader.dataChunk.size, 0u);
}

// The fuzzer's seeds all open and stream exactly their data; the hostile
// files it keeps as regressions are all refused.
TEST(WavReader, ReplaysTheFuzzSeedsAndRegressions)
{
    const std::filesystem::path root = GF_WAV_FUZZ_DIR;
    for (const auto& [folder, shouldOpen] : {std::pair{"corpus", true}, std::pair{"regressions", false}}) {
        int files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(root / folder)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
            WavReader reader;
            const HResult hr = reader.openMemory(bytes.data(), bytes.size());
            EXPECT_EQ(hr == sOk, shouldOpen) << entry.path();
            EXPECT_LE(reader.dataSize, bytes.size()) << entry.path();
            if (hr == sOk) {
                std::vector<std::uint8_t> out(reader.dataSize + 16);
                std::uint32_t got = 0;
                EXPECT_EQ(reader.read(out.data(), static_cast<std::uint32_t>(out.size()), &got), sOk);
                EXPECT_EQ(got, reader.dataSize) << entry.path();
            } else {
                EXPECT_EQ(reader.dataSize, 0u) << entry.path();
            }
            ++files;
        }
        EXPECT_GE(files, 5) << folder;
    }
}

}  // namespace
