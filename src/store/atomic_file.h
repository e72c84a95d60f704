#pragma once

// Writing the player's files so that a crash, a kill or a power cut at any
// moment leaves either the old file or the new one, never a mix: the new
// content goes to a temporary file in the same folder, is flushed to the disk
// and then renamed over the old file (on POSIX the folder is flushed too).
// Every function here reports failure as a text for the player and never
// throws.
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

// The path as UTF-8 for messages, whatever the platform's own encoding.
std::string displayPath(const std::filesystem::path& path);

// A file written in pieces that replaces `target` only when committed. The
// folder (and its parents) is made when missing. A writer dropped or
// abandoned before its commit removes its temporary file and leaves the
// target as it was.
class AtomicFileWriter {
public:
    AtomicFileWriter();
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Creates the temporary file. Empty on success, else why not.
    [[nodiscard]] std::string open(const std::filesystem::path& target);
    // Appends to the temporary file.
    [[nodiscard]] std::string append(std::string_view bytes);
    // Flushes the temporary file to the disk and renames it over the target.
    [[nodiscard]] std::string commit();
    // Removes the temporary file; the target stays as it was.
    void abandon();

    bool isOpen() const;

    // The platform's file handle (atomic_file_posix.cpp, atomic_file_windows.cpp
    // implement this class).
    struct Native;

private:
    std::unique_ptr<Native> native_;
    std::filesystem::path target_;
    std::filesystem::path temporary_;
};

// The whole new content of `target` in one call. Empty on success.
[[nodiscard]] std::string writeFileAtomically(const std::filesystem::path& target, std::string_view content);

// What reading a small file gave: its bytes, or that it does not exist, or
// why it could not be read (then `error` says so).
struct SmallFile {
    bool exists = false;
    std::string bytes;
    std::string error;
};

// Reads a file of at most `maxBytes`; a larger one is an error.
SmallFile readSmallFile(const std::filesystem::path& file, std::size_t maxBytes);

// Moves a damaged file aside so the player keeps it: settings.ini becomes
// settings.ini.damaged, or settings.ini.damaged-2, -3 … when that is taken.
// Returns the new path, or an empty one when it could not be moved (then
// `error` says why).
std::filesystem::path moveAside(const std::filesystem::path& file, std::string& error);

// The shared steps of AtomicFileWriter::open on every platform.
namespace atomic_file_detail {

// The file that `target` names: a symbolic link is followed, so a settings
// file linked into the player's own collection stays a link.
std::filesystem::path resolveTarget(const std::filesystem::path& target);

// Makes the target's folder and its parents. Empty on success.
std::string makeFolder(const std::filesystem::path& target);

// The name of a temporary file beside `target`, new for every call:
// ".settings.ini.<random>.tmp".
std::filesystem::path temporaryPathFor(const std::filesystem::path& target);

// Removes the temporary files that writes of `target` left when they were
// cut short (the process killed before its commit), once they are at least
// `minimumAgeSeconds` old; a younger one may belong to a write going on.
void removeStaleTemporaries(const std::filesystem::path& target, double minimumAgeSeconds);

// "cannot write <target>: <reason>"
std::string writeError(const std::filesystem::path& target, const std::string& reason);

}  // namespace atomic_file_detail
