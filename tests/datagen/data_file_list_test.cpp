#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data_files.h"
#include "data_reader.h"

// The list's "made by" and "read by" columns stay true: each maker is a
// module of the generator, and each loader a source file of the game that
// names the file's constant.
TEST(DataFileList, EachFileIsMadeByAGeneratorModuleAndNamedByItsLoader)
{
    namespace fs = std::filesystem;
    const fs::path source = GLIMMERFALL_SOURCE_DIR;
    for (const DataFile& file : dataFiles::all) {
        SCOPED_TRACE(file.name);
        EXPECT_TRUE(fs::exists(source / "tools/datagen" / (std::string(file.maker) + ".cpp")));
        const std::string constant = std::string("dataFiles::") + file.name;
        bool named = false;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(source / "src")) {
            if (entry.path().filename() == std::string(file.loader) + ".cpp") {
                const std::vector<std::uint8_t> text = readBytes(entry.path().string());
                named |= std::string(text.begin(), text.end()).find(constant) != std::string::npos;
            }
        }
        EXPECT_TRUE(named) << "no src/*/" << file.loader << ".cpp names " << constant;
    }
}
