// The POSIX edge of user_folders.h: the environment as getenv gives it.
#include <cstdlib>

#include "store/user_folders.h"

Platform thisPlatform()
{
    return Platform::gnuLinux;
}

std::filesystem::path environmentVariable(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::filesystem::path(value) : std::filesystem::path();
}
