#pragma once

// Runs glimmerfall-script as a separate process on a given data folder and
// collects what it printed. Each test process keeps its files apart by its
// process id, so tests can run side by side.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "mini_json.h"

struct RunnerResult {
    int exitCode = -1;               // -1 when the runner did not exit normally (a crash)
    std::vector<std::string> lines;  // stdout, one JSON line per state or stats command
    std::string err;
};

inline std::string readWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string testTempPath(const std::string& name)
{
    return ::testing::TempDir() + "soak_" + std::to_string(getpid()) + "_" + name;
}

inline std::string builtDataDir()
{
    const char* data = std::getenv("GLIMMERFALL_DATA_DIR");
    return data != nullptr ? data : GLIMMERFALL_TEST_DATA_DIR;
}

// env: "NAME=value " words put before the command.
inline RunnerResult runRunner(const std::string& script, const std::string& dataDir,
                              const std::string& size = "32x32", const std::string& env = "")
{
    const std::string scriptFile = testTempPath("script.txt");
    std::ofstream(scriptFile) << script;
    const std::string out = testTempPath("out.txt");
    const std::string err = testTempPath("err.txt");
    const std::string command = env + std::string(GLIMMERFALL_SCRIPT_BINARY) + " --size " + size + " --data '" +
                                dataDir + "' '" + scriptFile + "' >'" + out + "' 2>'" + err + "'";
    const int status = std::system(command.c_str());
    RunnerResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::istringstream lines(readWholeFile(out));
    for (std::string line; std::getline(lines, line);) {
        r.lines.push_back(line);
    }
    r.err = readWholeFile(err);
    return r;
}

inline JsonValue parseLine(const std::string& line)
{
    JsonValue v;
    EXPECT_TRUE(JsonParser(line).parse(v)) << line;
    return v;
}

inline double numberAt(const JsonValue& v, const char* a, const char* b = nullptr)
{
    const JsonValue* x = v.get(a);
    if (x != nullptr && b != nullptr) {
        x = x->get(b);
    }
    EXPECT_NE(x, nullptr) << a << (b != nullptr ? std::string(".") + b : std::string());
    return x != nullptr ? x->number : -1e300;
}

// A private copy of the data folder, removed again at the end of the test.
class DataCopy {
public:
    explicit DataCopy(const std::string& name) : path_(testTempPath("data_" + name))
    {
        std::filesystem::remove_all(path_);
        std::filesystem::copy(builtDataDir(), path_, std::filesystem::copy_options::recursive);
    }
    ~DataCopy() { std::filesystem::remove_all(path_); }
    DataCopy(const DataCopy&) = delete;
    DataCopy& operator=(const DataCopy&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};
