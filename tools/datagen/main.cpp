// glimmerfall-datagen: writes the game's data files, each that the data-file
// list names (src/data_files.list), into the folder named on the command
// line. The output depends on nothing but this code.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string_view>
#include <vector>

#include "data_files.h"
#include "file_makers.h"
#include "synthesis.h"
#include "wav_writer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes monoWav(const std::vector<std::int16_t>& samples)
{
    return encodeWav(samples, 1, audioRate);
}

bool writeFile(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: glimmerfall-datagen <output folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "glimmerfall-datagen: cannot create %s: %s\n", folder.c_str(),
                     error.message().c_str());
        return 1;
    }

    // The file makers by the module names the list gives them.
    const std::map<std::string_view, std::function<Bytes()>> makers{
        {"earth", [] { return encodeBmp(makeEarth()); }},
        {"moon", [] { return encodeBmp(makeMoon()); }},
        {"glow", [] { return encodeBmp(makeGlow()); }},
        {"font", [] { return encodeBmp(makeFont()); }},
        {"ship", [] { return encodeBmp(makeShip()); }},
        {"pickup_sound", [] { return monoWav(makePickupSound()); }},
        {"thrust_sound", [] { return monoWav(makeThrustSound()); }},
        {"music",
         []() -> Bytes {
             const std::vector<std::int16_t> music = makeMusic();
             return music.empty() ? Bytes{} : encodeWav(music, 2, audioRate);
         }},
        {"ragdoll", [] { return makeFigure(); }},
    };

    for (const DataFile& file : dataFiles::all) {
        const auto maker = makers.find(file.maker);
        if (maker == makers.end()) {
            std::fprintf(stderr, "glimmerfall-datagen: no module \"%s\" to make %s\n", file.maker,
                         file.fileName);
            return 1;
        }
        const Bytes bytes = maker->second();
        if (bytes.empty()) {
            std::fprintf(stderr, "glimmerfall-datagen: could not make %s\n", file.fileName);
            return 1;
        }
        const std::filesystem::path path = folder / file.fileName;
        if (!writeFile(path, bytes)) {
            std::fprintf(stderr, "glimmerfall-datagen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
