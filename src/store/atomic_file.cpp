#include "store/atomic_file.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <system_error>

namespace {

std::filesystem::path resolveTarget(const std::filesystem::path& target)
{
    std::error_code ec;
    if (std::filesystem::is_symlink(target, ec)) {
        std::filesystem::path resolved = std::filesystem::weakly_canonical(target, ec);
        if (!ec) {
            return resolved;
        }
    }
    return target;
}

std::string makeFolder(const std::filesystem::path& target)
{
    const std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        return {};
    }
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        return "cannot make the folder " + displayPath(folder) + ": " + ec.message();
    }
    return {};
}

std::filesystem::path temporaryPathFor(const std::filesystem::path& target)
{
    static std::atomic<std::uint64_t> counter{0};
    static const std::uint64_t seed = [] {
        std::random_device device;
        return (std::uint64_t{device()} << 32) ^ device() ^
               static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    }();
    char unique[24];
    std::snprintf(unique, sizeof unique, "%016llx",
                  static_cast<unsigned long long>(seed + 0x9E3779B97F4A7C15ull * ++counter));
    std::filesystem::path name = ".";
    name += target.filename();
    name += ".";
    name += unique;
    name += ".tmp";
    return target.parent_path() / name;
}

std::string writeError(const std::filesystem::path& target, const std::string& reason)
{
    return "cannot write " + displayPath(target) + ": " + reason;
}

}  // namespace

namespace atomic_file_detail {

void removeStaleTemporaries(const std::filesystem::path& target, double minimumAgeSeconds)
{
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    const std::string prefix = "." + displayPath(target.filename()) + ".";
    const auto now = std::filesystem::file_time_type::clock::now();
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = displayPath(it->path().filename());
        // The prefix, 16 hexadecimal digits, ".tmp".
        if (name.size() != prefix.size() + 20 || name.compare(0, prefix.size(), prefix) != 0 ||
            name.compare(name.size() - 4, 4, ".tmp") != 0) {
            continue;
        }
        std::error_code timeError;
        const auto written = std::filesystem::last_write_time(it->path(), timeError);
        if (!timeError && std::chrono::duration<double>(now - written).count() >= minimumAgeSeconds) {
            std::filesystem::remove(it->path(), timeError);
        }
    }
}

}  // namespace atomic_file_detail

std::string displayPath(const std::filesystem::path& path)
{
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

AtomicFileWriter::AtomicFileWriter() = default;

AtomicFileWriter::~AtomicFileWriter()
{
    abandon();
}

bool AtomicFileWriter::isOpen() const
{
    return open_;
}

std::string AtomicFileWriter::open(const std::filesystem::path& target)
{
    abandon();
    target_ = resolveTarget(target);
    if (std::string error = makeFolder(target_); !error.empty()) {
        return error;
    }
    atomic_file_detail::removeStaleTemporaries(target_, 600);
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary_ = temporaryPathFor(target_);
        bool taken = false;
        const std::string reason = atomic_file_detail::createNew(temporary_, file_, taken);
        if (reason.empty()) {
            open_ = true;
            return {};
        }
        if (!taken) {
            return writeError(target_, reason);
        }
    }
    return writeError(target_, "no free name for a temporary file");
}

std::string AtomicFileWriter::append(std::string_view bytes)
{
    if (!open_) {
        return writeError(target_, "the file is not open");
    }
    const std::string reason = atomic_file_detail::writeAll(file_, bytes);
    if (!reason.empty()) {
        abandon();
        return writeError(target_, reason);
    }
    return {};
}

std::string AtomicFileWriter::commit()
{
    if (!open_) {
        return writeError(target_, "the file is not open");
    }
    open_ = false;
    std::string reason = atomic_file_detail::flushAndClose(file_);
    if (reason.empty()) {
        reason = atomic_file_detail::replaceFile(temporary_, target_);
    }
    if (!reason.empty()) {
        std::error_code ec;
        std::filesystem::remove(temporary_, ec);
        return writeError(target_, reason);
    }
    return {};
}

void AtomicFileWriter::abandon()
{
    if (open_) {
        atomic_file_detail::closeFile(file_);
        std::error_code ec;
        std::filesystem::remove(temporary_, ec);
        open_ = false;
    }
}

std::string writeFileAtomically(const std::filesystem::path& target, std::string_view content)
{
    AtomicFileWriter writer;
    std::string error = writer.open(target);
    if (error.empty()) {
        error = writer.append(content);
    }
    if (error.empty()) {
        error = writer.commit();
    }
    return error;
}

SmallFile readSmallFile(const std::filesystem::path& file, std::size_t maxBytes)
{
    SmallFile result;
    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    if (status.type() == std::filesystem::file_type::not_found) {
        return result;
    }
    result.exists = true;
    if (ec) {
        result.error = "cannot read " + displayPath(file) + ": " + ec.message();
        return result;
    }
    if (status.type() != std::filesystem::file_type::regular) {
        result.error = "cannot read " + displayPath(file) + ": not a regular file";
        return result;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        result.error = "cannot read " + displayPath(file) + ": it cannot be opened";
        return result;
    }
    // Read in pieces up to one byte more than allowed, which tells a file
    // that is too long without trusting its size beforehand.
    char piece[1 << 14];
    while (result.bytes.size() <= maxBytes && in) {
        in.read(piece, static_cast<std::streamsize>(std::min(sizeof piece, maxBytes + 1 - result.bytes.size())));
        result.bytes.append(piece, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        result.bytes.clear();
        result.error = "cannot read " + displayPath(file) + ": a read failed";
    } else if (result.bytes.size() > maxBytes) {
        result.bytes.clear();
        result.error = "cannot read " + displayPath(file) + ": longer than " + std::to_string(maxBytes) + " bytes";
    }
    return result;
}

std::filesystem::path moveAside(const std::filesystem::path& file, std::string& error)
{
    std::error_code ec;
    for (int n = 1; n <= 100; ++n) {
        std::filesystem::path aside = file;
        aside += n == 1 ? std::string(".damaged") : ".damaged-" + std::to_string(n);
        if (std::filesystem::exists(std::filesystem::symlink_status(aside, ec))) {
            continue;
        }
        std::filesystem::rename(file, aside, ec);
        if (ec) {
            error = "cannot move " + displayPath(file) + " aside: " + ec.message();
            return {};
        }
        error.clear();
        return aside;
    }
    error = "cannot move " + displayPath(file) + " aside: 100 damaged copies are kept already";
    return {};
}
