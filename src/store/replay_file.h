#pragma once

// Replay files: every frame's control values and the sound device's answers
// that decided something, with a checksum of the game's state every 60
// frames and a trailer with the outcome. docs/replay-format.md describes the
// bytes. The encoder builds a replay in memory, the writer streams one to a
// file (which replaces the old one only when finished, atomic_file.h), and
// the reader checks a whole file before it hands out any frame.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/atomic_file.h"
#include "store/user_folders.h"

inline constexpr std::uint16_t replayFormatVersion = 1;
inline constexpr std::uint32_t replayChecksumInterval = 60;
// Bounds that every reader enforces, so that no file can make it allocate
// or loop without limit.
inline constexpr std::uint32_t maxReplayFrames = 1u << 24;  // 77 hours at 60 frames a second
inline constexpr std::uint32_t maxSoundAnswersPerFrame = 1u << 16;
inline constexpr std::size_t maxReplayFileBytes = 64u << 20;
inline constexpr std::size_t maxGameVersionBytes = 32;

// One answer of the sound device: a buffer's status reduced to what the game
// looks at.
inline constexpr std::uint8_t soundAnswerPlaying = 1;
inline constexpr std::uint8_t soundAnswerLost = 2;

// The control values at the start of a frame.
struct ReplayInputs {
    float keyForward = 0.0f;
    float keyTurn = 0.0f;
    float keyButton = 0.0f;
    std::int32_t lX = 0;
    std::uint8_t button0 = 0;
    std::uint8_t button1 = 0;
    std::int32_t joystickUsable = 0;
    bool operator==(const ReplayInputs&) const = default;
};

struct ReplayFrame {
    ReplayInputs inputs;
    std::vector<std::uint8_t> soundAnswers;  // soundAnswerPlaying | soundAnswerLost each
    bool operator==(const ReplayFrame&) const = default;
};

struct ReplayHeader {
    Platform platform = Platform::gnuLinux;
    std::string gameVersion;         // 1 to 32 printable ASCII characters, e.g. "1.0"
    std::uint64_t dataChecksum = 0;  // of the data files the game was played with
    bool operator==(const ReplayHeader&) const = default;
};

struct ReplayTrailer {
    std::uint32_t frameCount = 0;
    std::int32_t finalScore = 0;
    std::uint64_t finalStateChecksum = 0;
    bool operator==(const ReplayTrailer&) const = default;
};

// Builds the bytes of a replay frame by frame. After every 60th frame the
// state checksum is due and must be given before the next frame. Mistakes of
// the caller (a missing checksum, a value the format cannot hold) make it
// stop and keep the first error, which finish() returns.
class ReplayEncoder {
public:
    explicit ReplayEncoder(const ReplayHeader& header);

    void addFrame(const ReplayInputs& inputs, std::span<const std::uint8_t> soundAnswers);
    bool checksumDue() const;
    void addStateChecksum(std::uint64_t checksum);
    // Writes the trailer; empty on success.
    [[nodiscard]] std::string finish(std::int32_t finalScore, std::uint64_t finalStateChecksum);

    std::uint32_t frameCount() const;
    const std::string& error() const;
    // The bytes made so far; a caller that streams them takes them away.
    std::string& bytes();

private:
    void emit(std::string_view bytes);
    void emitByte(std::uint8_t byte);
    void endRepeats();
    void fail(std::string error);

    std::string bytes_;
    std::uint32_t crc_ = 0;
    std::string error_;
    ReplayFrame last_;
    std::uint32_t frames_ = 0;
    std::uint32_t repeats_ = 0;
    // A frame's changed fields and its sound answers' runs, built here.
    std::string fields_;
    std::string runs_;
    bool checksumDue_ = false;
    bool finished_ = false;
};

// Streams a replay to a file: the file replaces an older one of the same name
// only when finish() succeeds (so a game cut short still leaves a whole
// replay once finish() is called for it), and a writer dropped unfinished
// leaves the older file as it was.
class ReplayWriter {
public:
    // Starts the file; empty on success.
    [[nodiscard]] std::string open(const std::filesystem::path& file, const ReplayHeader& header);
    void addFrame(const ReplayInputs& inputs, std::span<const std::uint8_t> soundAnswers);
    bool checksumDue() const;
    void addStateChecksum(std::uint64_t checksum);
    std::uint32_t frameCount() const;
    // The first error so far (the file could not be written, or a mistake
    // of the caller's), empty when none.
    std::string error() const;
    // Writes the trailer and puts the file in place; empty on success.
    [[nodiscard]] std::string finish(std::int32_t finalScore, std::uint64_t finalStateChecksum);

private:
    void flush(std::size_t atLeast);

    std::optional<ReplayEncoder> encoder_;
    AtomicFileWriter file_;
    std::string fileError_;
};

// Why a replay is not played. The game tells these apart for the player.
enum class ReplayRefusal {
    none,
    unreadable,         // missing, or the system would not read it
    foreignFile,        // not a Glimmerfall replay at all
    unsupportedFormat,  // a replay in a format version this game does not read
    otherGameVersion,   // made with another version of the game
    otherData,          // made with other data files
    damaged,            // truncated or damaged
};

// What a replay must match to be played; an unset value is not checked.
struct ReplayExpectation {
    std::optional<std::string> gameVersion;
    std::optional<std::uint64_t> dataChecksum;
};

class ReplayReader {
public:
    // Reads and checks the whole file; none when it can be played. error()
    // then tells the player why not.
    ReplayRefusal open(const std::filesystem::path& file, const ReplayExpectation& expect = {});
    ReplayRefusal openBytes(std::string bytes, const ReplayExpectation& expect = {});

    const std::string& error() const;
    const ReplayHeader& header() const;
    const ReplayTrailer& trailer() const;

    // The next frame, false after the last one (or when open() refused).
    bool nextFrame(ReplayFrame& frame);
    // The state checksum recorded after the frame nextFrame() gave last.
    std::optional<std::uint64_t> checksumAfterFrame() const;
    // Back to the first frame.
    void rewind();

private:
    ReplayRefusal refuse(ReplayRefusal why, std::string text);

    std::string bytes_;
    std::string error_;
    ReplayHeader header_;
    ReplayTrailer trailer_;
    std::size_t framesBegin_ = 0;
    std::size_t framesEnd_ = 0;
    // Where nextFrame() reads.
    std::size_t at_ = 0;
    std::uint32_t framesRead_ = 0;
    std::uint32_t repeatsLeft_ = 0;
    ReplayFrame last_;
    std::optional<std::uint64_t> checksum_;
    bool ready_ = false;
};
