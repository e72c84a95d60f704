#include "game/replay_identity.h"

#include <filesystem>
#include <fstream>
#include <string>

#include "data_files.h"
#include "game/fnv1a.h"
#include "game/version.h"

std::uint64_t dataFilesChecksum()
{
    // Each file's name and size, then its bytes, read a piece at a time (a
    // missing file counts as empty).
    std::uint64_t hash = fnv1aStart;
    for (const DataFile& file : dataFiles::all) {
        const char* name = file.fileName;
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(name, error);
        const std::string label = std::string(name) + ":" + std::to_string(error ? 0 : size) + ":";
        fnv1aMix(hash, reinterpret_cast<const unsigned char*>(label.data()), label.size());
        std::ifstream in(name, std::ios::binary);
        char piece[16 * 1024];
        while (in.read(piece, sizeof piece) || in.gcount() > 0) {
            fnv1aMix(hash, reinterpret_cast<const unsigned char*>(piece), static_cast<std::size_t>(in.gcount()));
        }
    }
    return hash;
}

ReplayHeader replayHeaderHere(std::uint64_t dataChecksum)
{
    ReplayHeader header;
    header.platform = thisPlatform();
    header.gameVersion = gameVersion;
    header.dataChecksum = dataChecksum;
    return header;
}

ReplayExpectation replayExpectationHere(std::uint64_t dataChecksum)
{
    ReplayExpectation expect;
    expect.gameVersion = std::string(gameVersion);
    expect.dataChecksum = dataChecksum;
    return expect;
}
