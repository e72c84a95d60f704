// The Windows edge of atomic_file.h: CreateFileW(CREATE_NEW), WriteFile,
// FlushFileBuffers, and MoveFileExW with MOVEFILE_REPLACE_EXISTING and
// MOVEFILE_WRITE_THROUGH, which returns only once the move is on the disk.
#include <windows.h>

#include <algorithm>
#include <string>

#include "store/atomic_file.h"

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

HANDLE fileOf(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

namespace atomic_file_detail {

std::string createNew(const std::filesystem::path& file, std::intptr_t& handle, bool& taken)
{
    const HANDLE created =
        CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE) {
        taken = GetLastError() == ERROR_FILE_EXISTS;
        return lastErrorText();
    }
    handle = reinterpret_cast<std::intptr_t>(created);
    return {};
}

std::string writeAll(std::intptr_t handle, std::string_view bytes)
{
    while (!bytes.empty()) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(fileOf(handle), bytes.data(), piece, &written, nullptr) || written == 0) {
            return lastErrorText();
        }
        bytes.remove_prefix(written);
    }
    return {};
}

std::string flushAndClose(std::intptr_t handle)
{
    std::string reason;
    if (!FlushFileBuffers(fileOf(handle))) {
        reason = lastErrorText();
    }
    if (!CloseHandle(fileOf(handle)) && reason.empty()) {
        reason = lastErrorText();
    }
    return reason;
}

void closeFile(std::intptr_t handle)
{
    CloseHandle(fileOf(handle));
}

// A virus scanner or an indexer may hold the old file open for a moment:
// the move is tried a few times before it counts as failed.
std::string replaceFile(const std::filesystem::path& from, const std::filesystem::path& to)
{
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return {};
        }
        const DWORD code = GetLastError();
        if (attempt == 9 || (code != ERROR_ACCESS_DENIED && code != ERROR_SHARING_VIOLATION)) {
            return lastErrorText();
        }
        Sleep(50);
    }
}

}  // namespace atomic_file_detail
