#pragma once

// Writing the player's files so that a crash, a kill or a power cut at any
// moment leaves either the old file or the new one, never a mix: the new
// content goes to a temporary file in the same folder, is flushed to the disk
// and then renamed over the old file (on POSIX the folder is flushed too).
// Every function here reports failure as a text for the player and never
// throws.
#include <cstddef>
#include <filesystem>
#include <cstdint>
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

private:
    std::intptr_t file_ = -1;  // the platform's handle of the temporary file
    bool open_ = false;
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

// The platform's part (atomic_file_posix.cpp, atomic_file_windows.cpp):
// each returns the reason of a failure, empty on success.
namespace atomic_file_detail {

// Creates `file`, which must not exist yet. `taken` tells a name that is
// in use from other failures.
std::string createNew(const std::filesystem::path& file, std::intptr_t& handle, bool& taken);
std::string writeAll(std::intptr_t handle, std::string_view bytes);
// Flushes the file to the disk and closes it (closed on failure too).
std::string flushAndClose(std::intptr_t handle);
void closeFile(std::intptr_t handle);
// Renames `from` over `to` and makes the rename itself durable.
std::string replaceFile(const std::filesystem::path& from, const std::filesystem::path& to);

// The temporary files of writes of `target` that were cut short (the
// process killed before its commit), at least `minimumAgeSeconds` old, are
// removed; a younger one may belong to a write going on. Called by open().
void removeStaleTemporaries(const std::filesystem::path& target, double minimumAgeSeconds);

}  // namespace atomic_file_detail
