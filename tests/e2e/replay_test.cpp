// Replays and best scores through the runner: a game recorded with
// --record plays back with `replay` to the same state and the same sound;
// the records it set are kept with the date 0; replays the game cannot play
// are refused with exit code 2 and a message.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "runner_process.h"
#include "store/records_file.h"
#include "store/replay_file.h"
#include "wave_capture.h"

namespace {

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The replay made again with another header: the same frames, checksums
// and trailer.
void rewrite(const std::string& from, const std::string& to, void (*change)(ReplayHeader&))
{
    ReplayReader reader;
    ASSERT_EQ(reader.open(from), ReplayRefusal::none) << reader.error();
    ReplayHeader header = reader.header();
    change(header);
    ReplayEncoder encoder(header);
    ReplayFrame frame;
    while (reader.nextFrame(frame)) {
        encoder.addFrame(frame.inputs, frame.soundAnswers);
        if (encoder.checksumDue()) {
            ASSERT_TRUE(reader.checksumAfterFrame().has_value());
            encoder.addStateChecksum(*reader.checksumAfterFrame());
        }
    }
    ASSERT_EQ(encoder.finish(reader.trailer().finalScore, reader.trailer().finalStateChecksum), "");
    std::ofstream(to, std::ios::binary) << encoder.bytes();
}

std::string replayScript(const std::string& file) { return "replay " + file + "\nstate\nquit\n"; }

// The autopilot from the title with --record, then the replay in a fresh
// runner: the same last state line and the same sound, sample for sample.
// Without the sanitizers the level is cleared, so a level best is set and
// kept in the data folder the test gives, dated 0.
TEST(Replay, AnAutopilotRunReplaysToTheSameStateAndSound)
{
    const int frames = sanitizedBuild() ? 300 : 1800;
    const std::string replay = tempPath("level1.replay");
    const std::string dataHome = tempPath("level1-data");
    std::filesystem::remove_all(dataHome);
    RunOptions recording;
    recording.audioOut = tempPath("level1-recorded.wav");
    recording.rawOptions = {"--size", "64x48", "--audio-out", recording.audioOut, "--record", replay,
                            "--data-home", dataHome};
    RunOptions replaying;
    replaying.audioOut = tempPath("level1-replayed.wav");
    replaying.rawOptions = {"--size", "64x48", "--audio-out", replaying.audioOut};
    const RunResult made = runScript("autopilot " + std::to_string(frames) + "\nstate\nquit\n", recording);
    ASSERT_EQ(made.exitCode, 1) << made.err;
    const RunResult played = runScript(replayScript(replay), replaying);
    ASSERT_EQ(played.exitCode, 1) << played.err;

    ASSERT_EQ(made.states().size(), 1u);
    ASSERT_EQ(played.states().size(), 1u);
    EXPECT_EQ(played.lines.back(), made.lines.back());
    const WaveCapture a = readWaveCapture(recording.audioOut);
    const WaveCapture b = readWaveCapture(replaying.audioOut);
    ASSERT_TRUE(a.ok && b.ok) << a.error << b.error;
    EXPECT_EQ(a.samples.size(), static_cast<std::size_t>(frames) * 735 * 2);
    EXPECT_TRUE(a.samples == b.samples) << "the replay sounds otherwise";

    const LoadedRecords kept = loadRecordsFile(std::filesystem::path(dataHome) / recordsFileName);
    if (!sanitizedBuild()) {
        ASSERT_EQ(num(made.states()[0], "levelNumber"), 2);
        ASSERT_TRUE(kept.records.levels[0].has_value()) << kept.notice.notice;
        EXPECT_EQ(kept.records.levels[0]->score, num(made.states()[0], "score"));
        EXPECT_EQ(kept.records.levels[0]->date, 0);
    }
    EXPECT_FALSE(kept.records.game.has_value());

    // The same replay carried from the other platform still plays (its
    // checksums would name where it went its own way); one made with other
    // data, or by another version of the game, is refused.
    const std::string windows = tempPath("windows.replay");
    rewrite(replay, windows, [](ReplayHeader& h) { h.platform = Platform::windows; });
    const std::string otherData = tempPath("other-data.replay");
    rewrite(replay, otherData, [](ReplayHeader& h) { h.dataChecksum ^= 1; });
    const std::string otherVersion = tempPath("other-version.replay");
    rewrite(replay, otherVersion, [](ReplayHeader& h) { h.gameVersion = "0.9"; });
    const std::vector<RunResult> runs =
        runScripts({replayScript(windows), replayScript(otherData), replayScript(otherVersion)},
                   {RunOptions{}, RunOptions{}, RunOptions{}});
    EXPECT_EQ(runs[0].exitCode, 1) << runs[0].err;
    ASSERT_EQ(runs[0].states().size(), 1u);
    EXPECT_EQ(num(runs[0].states()[0], "score"), num(made.states()[0], "score"));
    EXPECT_EQ(runs[1].exitCode, 2);
    EXPECT_NE(runs[1].err.find("other data files"), std::string::npos) << runs[1].err;
    EXPECT_EQ(runs[2].exitCode, 2);
    EXPECT_NE(runs[2].err.find("0.9"), std::string::npos) << runs[2].err;
}

// What cannot be recorded or replayed ends the run with exit code 2 and a
// line on stderr: a jump to a level while recording (a replay starts at the
// title), a truncated replay, a file that is no replay, and one that is
// missing.
TEST(Replay, WhatCannotBeRecordedOrReplayedEndsTheRunWithAMessage)
{
    const std::string replay = tempPath("short.replay");
    RunOptions recording;
    recording.rawOptions = {"--size", "32x32", "--record", replay};
    const RunResult made = runScript("frames 10\nkey down space\nframes 200\nquit\n", recording);
    ASSERT_EQ(made.exitCode, 1) << made.err;
    const std::string bytes = readAll(replay);
    ASSERT_GT(bytes.size(), 40u);

    const std::string truncated = tempPath("truncated.replay");
    std::ofstream(truncated, std::ios::binary) << bytes.substr(0, bytes.size() - 7);
    const std::string foreign = tempPath("foreign.replay");
    std::ofstream(foreign, std::ios::binary) << "; not a replay\nversion = 1\n";
    const std::vector<RunResult> runs =
        runScripts({"level 3\nframes 5\nquit\n", replayScript(truncated), replayScript(foreign),
                    replayScript(tempPath("missing.replay"))},
                   {recording, RunOptions{}, RunOptions{}, RunOptions{}});
    for (const RunResult& r : runs) {
        EXPECT_EQ(r.exitCode, 2) << r.err;
        EXPECT_TRUE(r.states().empty());
    }
    EXPECT_NE(runs[0].err.find("level"), std::string::npos) << runs[0].err;
    EXPECT_NE(runs[1].err.find("truncated"), std::string::npos) << runs[1].err;
    EXPECT_NE(runs[2].err.find("not a Glimmerfall replay"), std::string::npos) << runs[2].err;
    EXPECT_NE(runs[3].err.find("missing.replay"), std::string::npos) << runs[3].err;
}

// The whole game, title to final screen, by the autopilot with --record:
// its replay reaches the same final score and state. Some 33 000 frames each
// way, so a normal build only.
TEST(Replay, AWholeGameRecordedByTheAutopilotReplaysToItsFinalScore)
{
    if (sanitizedBuild()) {
        GTEST_SKIP() << "a whole game of autopilot play takes far too long under the sanitizers";
    }
    const std::string replay = tempPath("whole.replay");
    const std::string dataHome = tempPath("whole-data");
    std::filesystem::remove_all(dataHome);
    RunOptions recording;
    recording.timeoutSeconds = 1800;
    recording.rawOptions = {"--size", "8x8", "--record", replay, "--data-home", dataHome};
    RunOptions replaying = recording;
    replaying.rawOptions = {"--size", "8x8"};
    const RunResult made = runScript("autopilot 36000\nstate\nquit\n", recording);
    ASSERT_EQ(made.exitCode, 1) << made.err;
    ASSERT_EQ(made.states().size(), 1u);
    ASSERT_EQ(num(made.states()[0], "levelNumber"), 10) << "the autopilot did not finish the game";
    const RunResult played = runScript(replayScript(replay), replaying);
    ASSERT_EQ(played.exitCode, 1) << played.err;
    EXPECT_EQ(played.lines.back(), made.lines.back());

    ReplayReader reader;
    ASSERT_EQ(reader.open(replay), ReplayRefusal::none) << reader.error();
    EXPECT_EQ(reader.trailer().finalScore, num(made.states()[0], "score"));
    const LoadedRecords kept = loadRecordsFile(std::filesystem::path(dataHome) / recordsFileName);
    ASSERT_TRUE(kept.records.game.has_value()) << kept.notice.notice;
    EXPECT_EQ(kept.records.game->score, reader.trailer().finalScore);
    std::cout << "a whole game: " << reader.trailer().frameCount << " frames, " << readAll(replay).size()
              << " bytes of replay\n";
}

}  // namespace
