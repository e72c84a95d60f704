#pragma once

// The folder of the generated data files (images, sounds, the figure file)
// that the tests read: GLIMMERFALL_DATA_DIR when it is set (CTest sets it for
// every test), else the build's own data folder. Which files it holds is the
// data-file list's to say (data_files.h, dataFiles::all).
#include <set>
#include <string>

#include "data_files.h"

std::string dataFolder();

// A file in that folder.
std::string dataFile(const std::string& name);

// The names of every file the list holds.
std::set<std::string> listedDataFiles();

// A private copy of the data folder at the given path, for a test that takes
// files away or damages them; removed again when the copy goes.
class DataCopy {
public:
    explicit DataCopy(const std::string& path);
    ~DataCopy();
    DataCopy(const DataCopy&) = delete;
    DataCopy& operator=(const DataCopy&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};
