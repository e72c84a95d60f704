#include "data_folder.h"

#include <cstdlib>
#include <filesystem>

std::string dataFolder()
{
    const char* folder = std::getenv("GLIMMERFALL_DATA_DIR");
    return folder != nullptr && *folder != '\0' ? folder : GLIMMERFALL_BUILD_DATA_DIR;
}

std::string dataFile(const std::string& name) { return dataFolder() + "/" + name; }

std::set<std::string> listedDataFiles()
{
    std::set<std::string> names;
    for (const DataFile& file : dataFiles::all) {
        names.insert(file.fileName);
    }
    return names;
}

DataCopy::DataCopy(const std::string& path) : path_(path)
{
    std::filesystem::remove_all(path_);
    std::filesystem::copy(dataFolder(), path_, std::filesystem::copy_options::recursive);
}

DataCopy::~DataCopy()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}
