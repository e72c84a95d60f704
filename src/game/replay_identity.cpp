#include "game/replay_identity.h"

#include <fstream>
#include <iterator>
#include <string>

#include "data_files.h"
#include "game/version.h"

namespace {

void mix(std::uint64_t& hash, const unsigned char* bytes, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        hash = (hash ^ bytes[i]) * 0x100000001B3u;
    }
}

}  // namespace

std::uint64_t dataFilesChecksum()
{
    std::uint64_t hash = 0xCBF29CE484222325u;
    for (const DataFile& file : dataFiles::all) {
        const char* name = file.fileName;
        std::ifstream in(name, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::string label = std::string(name) + ":" + std::to_string(bytes.size()) + ":";
        mix(hash, reinterpret_cast<const unsigned char*>(label.data()), label.size());
        mix(hash, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
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
