#include "wav_bytes.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

// One folder per test process, removed when the process ends.
struct TempFolder {
    TempFolder()
    {
        const char* tmp = std::getenv("TMPDIR");
        path = std::filesystem::path(tmp != nullptr ? tmp : "/tmp") /
               ("gf_audio_test_" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path path;
};

}  // namespace

std::string writeTempFile(const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    static TempFolder folder;
    const std::filesystem::path path = folder.path / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}
