// The POSIX edge of user_folders.h: the environment as getenv gives it.
#include <cstdlib>

#include "store/user_folders.h"

namespace {

std::filesystem::path variable(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::filesystem::path(value) : std::filesystem::path();
}

}  // namespace

Platform thisPlatform()
{
    return Platform::gnuLinux;
}

FolderEnvironment processEnvironment()
{
    FolderEnvironment env;
    env.platform = thisPlatform();
    env.xdgConfigHome = variable("XDG_CONFIG_HOME");
    env.xdgDataHome = variable("XDG_DATA_HOME");
    env.home = variable("HOME");
    return env;
}
