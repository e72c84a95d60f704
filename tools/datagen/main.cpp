// glimmerfall-datagen: writes the game's nine data files into the folder
// named on the command line. The output depends on nothing but this code.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "data_files.h"
#include "synthesis.h"
#include "wav_writer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct DataFile {
    const char* name;
    std::function<Bytes()> make;
};

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

    const std::vector<DataFile> files{
        {"earth3.bmp", [] { return encodeBmp(makeEarth()); }},
        {"moon.bmp", [] { return encodeBmp(makeMoon()); }},
        {"particlecheaper4.bmp", [] { return encodeBmp(makeGlow()); }},
        {"MyFont.bmp", [] { return encodeBmp(makeFont()); }},
        {"ship.bmp", [] { return encodeBmp(makeShip()); }},
        {"pickup.wav", [] { return monoWav(makePickupSound()); }},
        {"thrust.wav", [] { return monoWav(makeThrustSound()); }},
        {"MUSIC.wav",
         []() -> Bytes {
             const std::vector<std::int16_t> music = makeMusic();
             return music.empty() ? Bytes{} : encodeWav(music, 2, audioRate);
         }},
        {"ragdoll.rag", [] { return makeFigure(); }},
    };

    for (const DataFile& file : files) {
        const Bytes bytes = file.make();
        if (bytes.empty()) {
            std::fprintf(stderr, "glimmerfall-datagen: could not make %s\n", file.name);
            return 1;
        }
        const std::filesystem::path path = folder / file.name;
        if (!writeFile(path, bytes)) {
            std::fprintf(stderr, "glimmerfall-datagen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
