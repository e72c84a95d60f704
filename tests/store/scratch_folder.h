#pragma once

// A fresh folder for one test, removed with everything in it afterwards.
// CTest runs the cases of a program as separate processes side by side, so
// the name carries the test's name and the process id.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

// Sets an environment variable of this process, or removes it (null).
inline void setEnvironment(const char* name, const char* value)
{
#ifdef _WIN32
    // The wide environment, which the Windows edge files read.
    const std::wstring wideName(name, name + std::char_traits<char>::length(name));
    const std::wstring wideValue = value != nullptr ? std::wstring(value, value + std::char_traits<char>::length(value))
                                                    : std::wstring();
    _wputenv_s(wideName.c_str(), wideValue.c_str());
#else
    if (value != nullptr) {
        setenv(name, value, 1);
    } else {
        unsetenv(name);
    }
#endif
}

class ScratchFolder : public testing::Test {
protected:
    void SetUp() override
    {
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        folder = std::filesystem::temp_directory_path() /
                 ("gf_store_" + std::string(info->name()) + "_" + std::to_string(getpid()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    static std::string slurp(const std::filesystem::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void spill(const std::filesystem::path& file, const std::string& bytes)
    {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    // The names in the folder, sorted, joined by spaces.
    std::string listing() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            names.insert(entry.path().filename().string());
        }
        std::string out;
        for (const std::string& name : names) out += (out.empty() ? "" : " ") + name;
        return out;
    }

    std::filesystem::path folder;
};
