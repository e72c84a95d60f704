// The POSIX edge of atomic_file.h: open(O_EXCL), write, fsync, rename, and an
// fsync of the folder so that the rename itself is on the disk.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "store/atomic_file.h"

using namespace atomic_file_detail;

struct AtomicFileWriter::Native {
    int fd = -1;
};

namespace {

std::string errnoText()
{
    return std::generic_category().message(errno);
}

void syncFolder(const std::filesystem::path& target)
{
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        // Some file systems cannot flush a folder (EINVAL); the rename has
        // happened either way, so that is no failure of the write.
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

AtomicFileWriter::AtomicFileWriter() = default;

AtomicFileWriter::~AtomicFileWriter()
{
    abandon();
}

bool AtomicFileWriter::isOpen() const
{
    return native_ != nullptr;
}

std::string AtomicFileWriter::open(const std::filesystem::path& target)
{
    abandon();
    target_ = resolveTarget(target);
    if (std::string error = makeFolder(target_); !error.empty()) {
        return error;
    }
    removeStaleTemporaries(target_, 600);
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary_ = temporaryPathFor(target_);
        const int fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            native_ = std::make_unique<Native>();
            native_->fd = fd;
            return {};
        }
        if (errno != EEXIST) {
            return writeError(target_, errnoText());
        }
    }
    return writeError(target_, "no free name for a temporary file");
}

std::string AtomicFileWriter::append(std::string_view bytes)
{
    if (!native_) {
        return writeError(target_, "the file is not open");
    }
    while (!bytes.empty()) {
        const ssize_t written = ::write(native_->fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            const std::string error = writeError(target_, errnoText());
            abandon();
            return error;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

std::string AtomicFileWriter::commit()
{
    if (!native_) {
        return writeError(target_, "the file is not open");
    }
    std::string error;
    if (::fsync(native_->fd) != 0) {
        error = writeError(target_, errnoText());
    }
    if (::close(native_->fd) != 0 && error.empty()) {
        error = writeError(target_, errnoText());
    }
    native_.reset();
    if (error.empty() && ::rename(temporary_.c_str(), target_.c_str()) != 0) {
        error = writeError(target_, errnoText());
    }
    if (!error.empty()) {
        ::unlink(temporary_.c_str());
        return error;
    }
    syncFolder(target_);
    return {};
}

void AtomicFileWriter::abandon()
{
    if (native_) {
        ::close(native_->fd);
        ::unlink(temporary_.c_str());
        native_.reset();
    }
}
