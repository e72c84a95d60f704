// The POSIX edge of atomic_file.h: open(O_EXCL), write, fsync, rename, and an
// fsync of the folder so that the rename itself is on the disk.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "store/atomic_file.h"

namespace {

std::string errnoText()
{
    return std::generic_category().message(errno);
}

int fdOf(std::intptr_t handle)
{
    return static_cast<int>(handle);
}

}  // namespace

namespace atomic_file_detail {

std::string createNew(const std::filesystem::path& file, std::intptr_t& handle, bool& taken)
{
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        taken = errno == EEXIST;
        return errnoText();
    }
    handle = fd;
    return {};
}

std::string writeAll(std::intptr_t handle, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fdOf(handle), bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return errnoText();
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

std::string flushAndClose(std::intptr_t handle)
{
    std::string reason;
    if (::fsync(fdOf(handle)) != 0) {
        reason = errnoText();
    }
    if (::close(fdOf(handle)) != 0 && reason.empty()) {
        reason = errnoText();
    }
    return reason;
}

void closeFile(std::intptr_t handle)
{
    ::close(fdOf(handle));
}

std::string replaceFile(const std::filesystem::path& from, const std::filesystem::path& to)
{
    if (::rename(from.c_str(), to.c_str()) != 0) {
        return errnoText();
    }
    const std::filesystem::path folder = to.parent_path().empty() ? "." : to.parent_path();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        // Some file systems cannot flush a folder (EINVAL); the rename has
        // happened either way, so that is no failure of the write.
        ::fsync(fd);
        ::close(fd);
    }
    return {};
}

}  // namespace atomic_file_detail
