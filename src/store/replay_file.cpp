#include "store/replay_file.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace {

constexpr char magic[8] = {'G', 'F', 'R', 'E', 'P', 'L', 'A', 'Y'};
constexpr char endMark[4] = {'G', 'F', 'E', 'N'};
// frame count, final score, final state checksum, CRC-32, end mark
constexpr std::size_t trailerBytes = 4 + 4 + 8 + 4 + 4;
constexpr std::size_t fixedHeaderBytes = sizeof magic + 2 + 1 + 1;

// The frame record's first byte: a repeat of the frame before, or the fields
// that change, each present when its bit is set.
constexpr std::uint8_t repeatRecord = 0x80;
constexpr std::uint8_t repeatCountMask = 0x3f;
constexpr std::uint8_t changesKeyForward = 1 << 0;
constexpr std::uint8_t changesKeyTurn = 1 << 1;
constexpr std::uint8_t changesKeyButton = 1 << 2;
constexpr std::uint8_t changesLX = 1 << 3;
constexpr std::uint8_t changesButtons = 1 << 4;
constexpr std::uint8_t changesJoystickUsable = 1 << 5;
constexpr std::uint8_t changesSoundAnswers = 1 << 6;

std::uint32_t crcOf(std::uint32_t crc, std::string_view bytes)
{
    return static_cast<std::uint32_t>(
        crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

template <typename T>
void putLittle(std::string& out, T value)
{
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        out.push_back(static_cast<char>((static_cast<std::uint64_t>(value) >> (8 * i)) & 0xff));
    }
}

void putVarint(std::string& out, std::uint32_t value)
{
    while (value >= 0x80) {
        out.push_back(static_cast<char>((value & 0x7f) | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<char>(value));
}

std::uint32_t zigzag(std::int32_t value)
{
    return (static_cast<std::uint32_t>(value) << 1) ^ static_cast<std::uint32_t>(value >> 31);
}

std::int32_t unzigzag(std::uint32_t value)
{
    return static_cast<std::int32_t>(value >> 1) ^ -static_cast<std::int32_t>(value & 1);
}

bool sameBits(float a, float b)
{
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

bool printable(std::string_view text)
{
    for (const char c : text) {
        if (c < 0x21 || c > 0x7e) return false;
    }
    return true;
}

// Reads little-endian values from [at, end) of the file's bytes; every read
// checks the room left first.
struct Cursor {
    const std::string& bytes;
    std::size_t at;
    std::size_t end;

    bool take(std::size_t count, std::string_view& out)
    {
        if (end - at < count) return false;
        out = std::string_view(bytes).substr(at, count);
        at += count;
        return true;
    }

    template <typename T>
    bool little(T& value)
    {
        std::string_view raw;
        if (!take(sizeof(T), raw)) return false;
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            v |= std::uint64_t{static_cast<std::uint8_t>(raw[i])} << (8 * i);
        }
        value = static_cast<T>(v);
        return true;
    }

    bool varint(std::uint32_t& value)
    {
        value = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            std::uint8_t b = 0;
            if (!little(b)) return false;
            if (shift == 28 && b > 0x0f) return false;  // more than 32 bits
            value |= std::uint32_t{b & 0x7fu} << shift;
            if ((b & 0x80) == 0) return true;
        }
        return false;
    }

    bool real(float& value)
    {
        std::uint32_t bits = 0;
        if (!little(bits)) return false;
        value = std::bit_cast<float>(bits);
        return std::isfinite(value);
    }
};

// The frames as the reader walks them: the last frame (which a repeat
// record repeats), the repeats still to come and the frames so far.
struct FrameWalk {
    ReplayFrame last;
    std::uint32_t repeatsLeft = 0;
    std::uint32_t frames = 0;
};

std::string readAnswers(Cursor& in, std::vector<std::uint8_t>& answers)
{
    std::uint32_t runs = 0;
    if (!in.varint(runs) || runs > maxSoundAnswersPerFrame) return "a bad count of sound answer runs";
    answers.clear();
    for (std::uint32_t r = 0; r < runs; ++r) {
        std::uint32_t run = 0;
        if (!in.varint(run)) return "a sound answer run cut short or over 32 bits";
        const std::uint32_t length = (run >> 2) + 1;
        if (length > maxSoundAnswersPerFrame - answers.size()) return "more sound answers than a frame can have";
        answers.insert(answers.end(), length, static_cast<std::uint8_t>(run & 3));
    }
    return {};
}

// Reads the next frame into walk.last, and the state checksum after it when
// one is due. Empty on success, else what is wrong.
std::string readFrame(Cursor& in, FrameWalk& walk, std::optional<std::uint64_t>& checksum)
{
    if (walk.frames == maxReplayFrames) return "more frames than a replay can have";
    if (walk.repeatsLeft > 0) {
        --walk.repeatsLeft;
    } else {
        std::uint8_t record = 0;
        if (!in.little(record)) return "a frame record cut short";
        if ((record & repeatRecord) != 0) {
            const std::uint32_t count = (record & repeatCountMask) + 1u;
            const std::uint32_t toChecksum = replayChecksumInterval - walk.frames % replayChecksumInterval;
            if ((record & ~(repeatRecord | repeatCountMask)) != 0 || count > toChecksum) {
                return "a bad repeat record";
            }
            walk.repeatsLeft = count - 1;
        } else {
            if (record == 0) return "a frame record that changes nothing";
            ReplayInputs& inputs = walk.last.inputs;
            std::uint32_t value = 0;
            if (((record & changesKeyForward) != 0 && !in.real(inputs.keyForward)) ||
                ((record & changesKeyTurn) != 0 && !in.real(inputs.keyTurn)) ||
                ((record & changesKeyButton) != 0 && !in.real(inputs.keyButton))) {
                return "a key value cut short or not a finite number";
            }
            if ((record & changesLX) != 0) {
                if (!in.varint(value)) return "an axis value cut short or over 32 bits";
                inputs.lX = unzigzag(value);
            }
            if ((record & changesButtons) != 0 && !(in.little(inputs.button0) && in.little(inputs.button1))) {
                return "the buttons cut short";
            }
            if ((record & changesJoystickUsable) != 0) {
                if (!in.varint(value)) return "the controller state cut short or over 32 bits";
                inputs.joystickUsable = unzigzag(value);
            }
            if ((record & changesSoundAnswers) != 0) {
                if (std::string error = readAnswers(in, walk.last.soundAnswers); !error.empty()) return error;
            }
        }
    }
    ++walk.frames;
    checksum.reset();
    if (walk.frames % replayChecksumInterval == 0) {
        std::uint64_t value = 0;
        if (!in.little(value)) return "the state checksum cut short";
        checksum = value;
    }
    return {};
}

}  // namespace

// ---------------------------------------------------------------- encoder

ReplayEncoder::ReplayEncoder(const ReplayHeader& header)
{
    if (header.gameVersion.empty() || header.gameVersion.size() > maxGameVersionBytes ||
        !printable(header.gameVersion)) {
        fail("the game version must be 1 to 32 printable characters");
    }
    if (header.platform != Platform::gnuLinux && header.platform != Platform::windows) {
        fail("an unknown platform");
    }
    std::string out(magic, sizeof magic);
    putLittle(out, replayFormatVersion);
    putLittle(out, static_cast<std::uint8_t>(header.platform));
    putLittle(out, static_cast<std::uint8_t>(header.gameVersion.size()));
    out += header.gameVersion.substr(0, maxGameVersionBytes);
    putLittle(out, header.dataChecksum);
    emit(out);
}

void ReplayEncoder::addFrame(const ReplayInputs& inputs, std::span<const std::uint8_t> soundAnswers)
{
    if (!error_.empty()) return;
    if (finished_) return fail("a frame after the trailer");
    if (checksumDue_) return fail("the state checksum after frame " + std::to_string(frames_) + " is missing");
    if (frames_ == maxReplayFrames) return fail("more frames than a replay can have");
    if (soundAnswers.size() > maxSoundAnswersPerFrame) return fail("more sound answers than a frame can have");
    for (const std::uint8_t answer : soundAnswers) {
        if (answer > (soundAnswerPlaying | soundAnswerLost)) return fail("a sound answer other than playing and lost");
    }
    if (!std::isfinite(inputs.keyForward) || !std::isfinite(inputs.keyTurn) || !std::isfinite(inputs.keyButton)) {
        return fail("a key value that is not a finite number");
    }

    const ReplayInputs& was = last_.inputs;
    std::uint8_t record = 0;
    std::string& fields = fields_;  // kept between frames: no allocation once warm
    fields.clear();
    if (!sameBits(inputs.keyForward, was.keyForward)) {
        record |= changesKeyForward;
        putLittle(fields, std::bit_cast<std::uint32_t>(inputs.keyForward));
    }
    if (!sameBits(inputs.keyTurn, was.keyTurn)) {
        record |= changesKeyTurn;
        putLittle(fields, std::bit_cast<std::uint32_t>(inputs.keyTurn));
    }
    if (!sameBits(inputs.keyButton, was.keyButton)) {
        record |= changesKeyButton;
        putLittle(fields, std::bit_cast<std::uint32_t>(inputs.keyButton));
    }
    if (inputs.lX != was.lX) {
        record |= changesLX;
        putVarint(fields, zigzag(inputs.lX));
    }
    if (inputs.button0 != was.button0 || inputs.button1 != was.button1) {
        record |= changesButtons;
        putLittle(fields, inputs.button0);
        putLittle(fields, inputs.button1);
    }
    if (inputs.joystickUsable != was.joystickUsable) {
        record |= changesJoystickUsable;
        putVarint(fields, zigzag(inputs.joystickUsable));
    }
    if (!std::equal(soundAnswers.begin(), soundAnswers.end(), last_.soundAnswers.begin(), last_.soundAnswers.end())) {
        record |= changesSoundAnswers;
        // Runs of equal answers: (length - 1) << 2 | answer each.
        std::string& runs = runs_;
        runs.clear();
        std::uint32_t runCount = 0;
        for (std::size_t i = 0; i < soundAnswers.size();) {
            std::size_t j = i + 1;
            while (j < soundAnswers.size() && soundAnswers[j] == soundAnswers[i]) ++j;
            putVarint(runs, static_cast<std::uint32_t>(j - i - 1) << 2 | soundAnswers[i]);
            ++runCount;
            i = j;
        }
        putVarint(fields, runCount);
        fields += runs;
        last_.soundAnswers.assign(soundAnswers.begin(), soundAnswers.end());
    }

    if (record == 0) {
        ++repeats_;
    } else {
        endRepeats();
        emitByte(record);
        emit(fields);
        last_.inputs = inputs;
    }
    ++frames_;
    if (frames_ % replayChecksumInterval == 0) {
        endRepeats();
        checksumDue_ = true;
    }
}

bool ReplayEncoder::checksumDue() const
{
    return checksumDue_;
}

void ReplayEncoder::addStateChecksum(std::uint64_t checksum)
{
    if (!error_.empty()) return;
    if (!checksumDue_) return fail("a state checksum comes after every 60th frame only");
    std::string out;
    putLittle(out, checksum);
    emit(out);
    checksumDue_ = false;
}

std::string ReplayEncoder::finish(std::int32_t finalScore, std::uint64_t finalStateChecksum)
{
    if (checksumDue_) fail("the state checksum after frame " + std::to_string(frames_) + " is missing");
    if (finished_) fail("the trailer is written already");
    if (!error_.empty()) return error_;
    endRepeats();
    std::string out;
    putLittle(out, frames_);
    putLittle(out, finalScore);
    putLittle(out, finalStateChecksum);
    emit(out);
    out.clear();
    putLittle(out, crc_);
    out.append(endMark, sizeof endMark);
    bytes_ += out;
    finished_ = true;
    return {};
}

std::uint32_t ReplayEncoder::frameCount() const
{
    return frames_;
}

const std::string& ReplayEncoder::error() const
{
    return error_;
}

std::string& ReplayEncoder::bytes()
{
    return bytes_;
}

void ReplayEncoder::emit(std::string_view bytes)
{
    bytes_ += bytes;
    crc_ = crcOf(crc_, bytes);
}

void ReplayEncoder::emitByte(std::uint8_t byte)
{
    const char c = static_cast<char>(byte);
    emit(std::string_view(&c, 1));
}

void ReplayEncoder::endRepeats()
{
    if (repeats_ > 0) {
        emitByte(static_cast<std::uint8_t>(repeatRecord | (repeats_ - 1)));
        repeats_ = 0;
    }
}

void ReplayEncoder::fail(std::string error)
{
    if (error_.empty()) error_ = "replay: " + std::move(error);
}

// ---------------------------------------------------------------- writer

std::string ReplayWriter::open(const std::filesystem::path& file, const ReplayHeader& header)
{
    fileError_.clear();
    encoder_.emplace(header);
    if (!encoder_->error().empty()) {
        return encoder_->error();
    }
    fileError_ = file_.open(file);
    return fileError_;
}

void ReplayWriter::addFrame(const ReplayInputs& inputs, std::span<const std::uint8_t> soundAnswers)
{
    if (encoder_) {
        encoder_->addFrame(inputs, soundAnswers);
        flush(64 * 1024);
    }
}

bool ReplayWriter::checksumDue() const
{
    return encoder_ && encoder_->checksumDue();
}

void ReplayWriter::addStateChecksum(std::uint64_t checksum)
{
    if (encoder_) encoder_->addStateChecksum(checksum);
}

std::uint32_t ReplayWriter::frameCount() const
{
    return encoder_ ? encoder_->frameCount() : 0;
}

std::string ReplayWriter::error() const
{
    if (!fileError_.empty()) return fileError_;
    return encoder_ ? encoder_->error() : std::string();
}

std::string ReplayWriter::finish(std::int32_t finalScore, std::uint64_t finalStateChecksum)
{
    if (!encoder_) return "replay: the file is not open";
    std::string error = encoder_->finish(finalScore, finalStateChecksum);
    flush(0);
    if (error.empty()) error = fileError_;
    if (error.empty()) error = file_.commit();
    if (!error.empty()) file_.abandon();
    encoder_.reset();
    return error;
}

void ReplayWriter::flush(std::size_t atLeast)
{
    std::string& bytes = encoder_->bytes();
    if (bytes.size() < atLeast || bytes.empty()) return;
    if (fileError_.empty() && file_.isOpen()) {
        fileError_ = file_.append(bytes);
    }
    bytes.clear();
}

// ---------------------------------------------------------------- reader

ReplayRefusal ReplayReader::open(const std::filesystem::path& file, const ReplayExpectation& expect)
{
    SmallFile read = readSmallFile(file, maxReplayFileBytes);
    if (!read.exists) {
        return refuse(ReplayRefusal::unreadable, "no replay " + displayPath(file));
    }
    if (!read.error.empty()) {
        return refuse(ReplayRefusal::unreadable, read.error);
    }
    const ReplayRefusal result = openBytes(std::move(read.bytes), expect);
    if (result != ReplayRefusal::none) error_ = displayPath(file) + ": " + error_;
    return result;
}

ReplayRefusal ReplayReader::openBytes(std::string bytes, const ReplayExpectation& expect)
{
    ready_ = false;
    bytes_ = std::move(bytes);
    header_ = {};
    trailer_ = {};
    const std::size_t size = bytes_.size();
    if (size < sizeof magic) {
        if (std::memcmp(bytes_.data(), magic, size) == 0) {
            return refuse(ReplayRefusal::damaged, "the replay is truncated (" + std::to_string(size) + " bytes)");
        }
        return refuse(ReplayRefusal::foreignFile, "not a Glimmerfall replay");
    }
    if (std::memcmp(bytes_.data(), magic, sizeof magic) != 0) {
        return refuse(ReplayRefusal::foreignFile, "not a Glimmerfall replay");
    }
    Cursor in{bytes_, sizeof magic, size};
    std::uint16_t format = 0;
    if (!in.little(format)) {
        return refuse(ReplayRefusal::damaged, "the replay is truncated (" + std::to_string(size) + " bytes)");
    }
    if (format != replayFormatVersion) {
        return refuse(ReplayRefusal::unsupportedFormat, "a replay in format version " + std::to_string(format) +
                                                            ", and this game reads version " +
                                                            std::to_string(replayFormatVersion));
    }
    if (size < fixedHeaderBytes + trailerBytes ||
        std::memcmp(bytes_.data() + size - sizeof endMark, endMark, sizeof endMark) != 0) {
        return refuse(ReplayRefusal::damaged, "the replay has no trailer: it is truncated or was not finished");
    }
    // The CRC-32 covers every byte before it.
    Cursor tail{bytes_, size - trailerBytes, size};
    std::uint32_t storedCrc = 0;
    tail.little(trailer_.frameCount);
    tail.little(trailer_.finalScore);
    tail.little(trailer_.finalStateChecksum);
    const std::size_t crcAt = tail.at;
    tail.little(storedCrc);
    if (crcOf(0, std::string_view(bytes_).substr(0, crcAt)) != storedCrc) {
        return refuse(ReplayRefusal::damaged, "the replay is damaged (its CRC-32 does not match)");
    }

    in.end = size - trailerBytes;
    std::uint8_t platform = 0;
    std::uint8_t versionLength = 0;
    std::string_view version;
    in.little(platform);
    in.little(versionLength);
    if (platform != static_cast<std::uint8_t>(Platform::gnuLinux) &&
        platform != static_cast<std::uint8_t>(Platform::windows)) {
        return refuse(ReplayRefusal::damaged, "the replay names an unknown platform " + std::to_string(platform));
    }
    if (versionLength == 0 || versionLength > maxGameVersionBytes || !in.take(versionLength, version) ||
        !printable(version) || !in.little(header_.dataChecksum)) {
        return refuse(ReplayRefusal::damaged, "the replay's header is damaged");
    }
    header_.platform = static_cast<Platform>(platform);
    header_.gameVersion = std::string(version);
    framesBegin_ = in.at;
    framesEnd_ = in.end;
    if (trailer_.frameCount > maxReplayFrames) {
        return refuse(ReplayRefusal::damaged, "the replay claims " + std::to_string(trailer_.frameCount) + " frames");
    }

    // Every frame is read once before any is played.
    FrameWalk walk;
    std::optional<std::uint64_t> checksum;
    while (walk.frames < trailer_.frameCount) {
        if (std::string error = readFrame(in, walk, checksum); !error.empty()) {
            return refuse(ReplayRefusal::damaged,
                          "the replay is damaged at frame " + std::to_string(walk.frames + 1) + ": " + error);
        }
    }
    if (walk.repeatsLeft != 0 || in.at != in.end) {
        return refuse(ReplayRefusal::damaged, "the replay is damaged: its frames do not end where its trailer says");
    }

    if (expect.gameVersion && *expect.gameVersion != header_.gameVersion) {
        return refuse(ReplayRefusal::otherGameVersion, "the replay was made with Glimmerfall " +
                                                           header_.gameVersion + ", and this is " +
                                                           *expect.gameVersion);
    }
    if (expect.dataChecksum && *expect.dataChecksum != header_.dataChecksum) {
        return refuse(ReplayRefusal::otherData, "the replay was made with other data files");
    }
    error_.clear();
    ready_ = true;
    rewind();
    return ReplayRefusal::none;
}

const std::string& ReplayReader::error() const
{
    return error_;
}

const ReplayHeader& ReplayReader::header() const
{
    return header_;
}

const ReplayTrailer& ReplayReader::trailer() const
{
    return trailer_;
}

bool ReplayReader::nextFrame(ReplayFrame& frame)
{
    if (!ready_ || framesRead_ == trailer_.frameCount) return false;
    Cursor in{bytes_, at_, framesEnd_};
    FrameWalk walk{std::move(last_), repeatsLeft_, framesRead_};
    // open() has read every frame once already, so this cannot fail.
    readFrame(in, walk, checksum_);
    at_ = in.at;
    last_ = std::move(walk.last);
    repeatsLeft_ = walk.repeatsLeft;
    framesRead_ = walk.frames;
    frame = last_;
    return true;
}

std::optional<std::uint64_t> ReplayReader::checksumAfterFrame() const
{
    return checksum_;
}

void ReplayReader::rewind()
{
    at_ = framesBegin_;
    framesRead_ = 0;
    repeatsLeft_ = 0;
    last_ = {};
    checksum_.reset();
}

ReplayRefusal ReplayReader::refuse(ReplayRefusal why, std::string text)
{
    error_ = std::move(text);
    ready_ = false;
    return why;
}
