// The RIFF chunk reader under the WAV reader: walking chunks, bounding every
// size by its parent and the file, and its buffered file reads.
#include <gtest/gtest.h>

#include <vector>

#include "audio/riff_reader.h"
#include "wav_bytes.h"

namespace {

TEST(RiffReader, FindsChunksPastOddSiblingsAndAscendsPastPadBytes)
{
    RiffBytes body;
    body.chunk("junk", rampBytes(3))              // 3 bytes + pad
        .chunk("LIST", {'I', 'N', 'F', 'O', 9})   // 5 bytes + pad, has a form type
        .chunk("fmt ", formatBytes(1, 1, 8000, 8))
        .chunk("data", rampBytes(7, 100));         // 7 bytes + pad at the very end
    const std::vector<std::uint8_t> file = riffWave(body.bytes);

    RiffReader r;
    ASSERT_TRUE(r.openMemory(file.data(), file.size()));
    RiffChunk riff;
    ASSERT_TRUE(r.descend(riff, nullptr));
    EXPECT_EQ(riff.id, fourCcRiff);
    EXPECT_EQ(riff.formType, idOf("WAVE"));
    EXPECT_EQ(riff.dataOffset, 8u);
    EXPECT_EQ(riff.size, file.size() - 8);

    RiffChunk list;
    list.id = fourCcList;
    ASSERT_TRUE(r.findChunk(list, &riff));
    EXPECT_EQ(list.formType, idOf("INFO"));
    EXPECT_EQ(list.size, 5u);
    ASSERT_TRUE(r.ascend(list));
    RiffChunk next;
    ASSERT_TRUE(r.descend(next, &riff));  // right after the pad byte
    EXPECT_EQ(next.id, idOf("fmt "));

    ASSERT_TRUE(r.seek(riff.dataOffset + 4));
    RiffChunk data;
    data.id = idOf("data");
    ASSERT_TRUE(r.findChunk(data, &riff));
    EXPECT_EQ(data.size, 7u);
    std::uint8_t first = 0;
    ASSERT_EQ(r.read(&first, 1), 1u);
    EXPECT_EQ(first, 100);

    // Nothing after the last chunk: a search from there fails and leaves the
    // position where it was.
    ASSERT_TRUE(r.ascend(data));
    const std::uint64_t end = r.tell();
    EXPECT_EQ(end, file.size());
    RiffChunk missing;
    missing.id = idOf("cue ");
    EXPECT_FALSE(r.findChunk(missing, &riff));
    EXPECT_EQ(r.tell(), end);
}

TEST(RiffReader, SizesAreBoundedByParentAndFile)
{
    // A sub-chunk that claims more than its parent holds, inside a parent
    // that claims more than the file holds.
    RiffBytes b;
    b.header("RIFF", 1000000).id("WAVE").header("fmt ", 12).raw(rampBytes(12));
    b.header("data", 0xFFFFFFFFu).raw(rampBytes(10));
    RiffReader r;
    ASSERT_TRUE(r.openMemory(b.bytes.data(), b.bytes.size()));
    RiffChunk riff;
    ASSERT_TRUE(r.descend(riff, nullptr));
    EXPECT_EQ(riff.declaredSize, 1000000u);
    EXPECT_EQ(riff.end(), b.bytes.size());

    RiffChunk data;
    data.id = idOf("data");
    ASSERT_TRUE(r.findChunk(data, &riff));
    EXPECT_EQ(data.size, 10u);
    EXPECT_EQ(data.declaredSize, 0xFFFFFFFFu);
    // Ascending out of a chunk cut short stops at the end of what is there.
    ASSERT_TRUE(r.ascend(data));
    EXPECT_EQ(r.tell(), b.bytes.size());

    // A chunk behind the end of a small parent is not found inside it.
    RiffBytes nested;
    nested.header("LIST", 4 + 8).id("abcd").chunk("one ", {}).chunk("two ", {});
    RiffReader n;
    ASSERT_TRUE(n.openMemory(nested.bytes.data(), nested.bytes.size()));
    RiffChunk list;
    ASSERT_TRUE(n.descend(list, nullptr));
    RiffChunk two;
    two.id = idOf("two ");
    EXPECT_FALSE(n.findChunk(two, &list));
    RiffChunk one;
    one.id = idOf("one ");
    EXPECT_TRUE(n.findChunk(one, &list));
}

TEST(RiffReader, BrokenHeadersFailCleanly)
{
    RiffReader r;
    RiffChunk c;
    EXPECT_FALSE(r.descend(c, nullptr));  // not open

    const std::uint8_t shortHeader[6] = {'R', 'I', 'F', 'F', 4, 0};
    ASSERT_TRUE(r.openMemory(shortHeader, sizeof shortHeader));
    EXPECT_FALSE(r.descend(c, nullptr));
    EXPECT_EQ(r.tell(), 0u);

    // A RIFF header whose form type is missing.
    const std::uint8_t noForm[10] = {'R', 'I', 'F', 'F', 2, 0, 0, 0, 'W', 'A'};
    ASSERT_TRUE(r.openMemory(noForm, sizeof noForm));
    EXPECT_FALSE(r.descend(c, nullptr));

    ASSERT_TRUE(r.openMemory(nullptr, 0));
    EXPECT_FALSE(r.descend(c, nullptr));
    EXPECT_FALSE(r.seek(1));
    EXPECT_FALSE(r.openMemory(nullptr, 5));
    EXPECT_FALSE(r.openFile("/nonexistent/folder/x.wav"));
    EXPECT_FALSE(r.openFile("/tmp"));  // a folder is not a sound file
}

TEST(RiffReader, SearchGivesUpAfterTheSiblingCap)
{
    const auto fileWithJunk = [](std::uint32_t junkChunks) {
        RiffBytes body;
        for (std::uint32_t i = 0; i < junkChunks; ++i) body.chunk("junk", {});
        body.chunk("data", {1, 2});
        return riffWave(body.bytes);
    };
    for (const auto& [junk, found] : {std::pair{RiffReader::maxChunksSearched - 1, true},
                                      std::pair{RiffReader::maxChunksSearched, false}}) {
        const std::vector<std::uint8_t> file = fileWithJunk(junk);
        RiffReader r;
        ASSERT_TRUE(r.openMemory(file.data(), file.size()));
        RiffChunk riff;
        ASSERT_TRUE(r.descend(riff, nullptr));
        RiffChunk data;
        data.id = idOf("data");
        EXPECT_EQ(r.findChunk(data, &riff), found) << junk << " chunks before the data";
    }
}

TEST(RiffReader, BufferedFileReadsRefillAcrossTheBuffer)
{
    const std::size_t size = RiffReader::fileBufferBytes * 2 + 123;
    const std::vector<std::uint8_t> bytes = rampBytes(size, 7);
    const std::string path = writeTempFile("ramp.bin", bytes);
    RiffReader r;
    ASSERT_TRUE(r.openFile(path.c_str()));
    EXPECT_EQ(r.size(), size);

    // Walk every byte through the buffer state, refilling it with advance.
    RiffIoInfo info;
    ASSERT_TRUE(r.getInfo(info));
    std::size_t seen = 0;
    int refills = 0;
    bool allMatch = true;
    while (true) {
        if (info.next == info.endRead) {
            ASSERT_TRUE(r.advance(info));
            ++refills;
            if (info.next == info.endRead) break;
        }
        allMatch = allMatch && *info.next == bytes[seen];
        ++info.next;
        ++seen;
    }
    ASSERT_TRUE(r.setInfo(info));
    EXPECT_TRUE(allMatch);
    EXPECT_EQ(seen, size);
    EXPECT_EQ(refills, 4);  // three loads and the empty one at the end
    EXPECT_EQ(r.tell(), size);

    // Seeking back and reading across a buffer boundary.
    ASSERT_TRUE(r.seek(RiffReader::fileBufferBytes - 2));
    std::uint8_t four[4];
    ASSERT_EQ(r.read(four, 4), 4u);
    EXPECT_EQ(four[0], bytes[RiffReader::fileBufferBytes - 2]);
    EXPECT_EQ(four[3], bytes[RiffReader::fileBufferBytes + 1]);
    EXPECT_FALSE(r.seek(size + 1));

    // Buffer state from before a refill is refused.
    RiffIoInfo stale;
    ASSERT_TRUE(r.getInfo(stale));
    ASSERT_TRUE(r.seek(0));
    std::uint8_t one;
    r.read(&one, 1);
    EXPECT_FALSE(r.setInfo(stale));
}

}  // namespace
