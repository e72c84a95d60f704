// The Windows edge of atomic_file.h: CreateFileW(CREATE_NEW), WriteFile,
// FlushFileBuffers, and MoveFileExW with MOVEFILE_REPLACE_EXISTING and
// MOVEFILE_WRITE_THROUGH, which returns only once the move is on the disk.
#include <windows.h>

#include <algorithm>
#include <string>

#include "store/atomic_file.h"

using namespace atomic_file_detail;

struct AtomicFileWriter::Native {
    HANDLE file = INVALID_HANDLE_VALUE;
};

namespace {

std::string lastErrorText()
{
    const DWORD code = GetLastError();
    wchar_t* wide = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<wchar_t*>(&wide), 0, nullptr);
    std::string text;
    if (length > 0 && wide != nullptr) {
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
        text.resize(static_cast<std::size_t>(bytes > 0 ? bytes : 0));
        WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), text.data(), bytes, nullptr, nullptr);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.')) {
            text.pop_back();
        }
    }
    LocalFree(wide);
    return text.empty() ? "Windows error " + std::to_string(code) : text;
}

// A virus scanner or an indexer may hold the old file open for a moment:
// try the move a few times before giving up.
bool replaceFile(const std::filesystem::path& from, const std::filesystem::path& to)
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        const DWORD code = GetLastError();
        if (code != ERROR_ACCESS_DENIED && code != ERROR_SHARING_VIOLATION) {
            return false;
        }
        Sleep(50);
        SetLastError(code);
    }
    return false;
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
        const HANDLE file = CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            native_ = std::make_unique<Native>();
            native_->file = file;
            return {};
        }
        if (GetLastError() != ERROR_FILE_EXISTS) {
            return writeError(target_, lastErrorText());
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
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(native_->file, bytes.data(), piece, &written, nullptr) || written == 0) {
            const std::string error = writeError(target_, lastErrorText());
            abandon();
            return error;
        }
        bytes.remove_prefix(written);
    }
    return {};
}

std::string AtomicFileWriter::commit()
{
    if (!native_) {
        return writeError(target_, "the file is not open");
    }
    std::string error;
    if (!FlushFileBuffers(native_->file)) {
        error = writeError(target_, lastErrorText());
    }
    CloseHandle(native_->file);
    native_.reset();
    if (error.empty() && !replaceFile(temporary_, target_)) {
        error = writeError(target_, lastErrorText());
    }
    if (!error.empty()) {
        DeleteFileW(temporary_.c_str());
    }
    return error;
}

void AtomicFileWriter::abandon()
{
    if (native_) {
        CloseHandle(native_->file);
        DeleteFileW(temporary_.c_str());
        native_.reset();
    }
}
