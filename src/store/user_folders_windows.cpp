// The Windows edge of user_folders.h: the environment read as UTF-16, so a
// user name outside the ANSI code page still gives the right folder.
#include <cstdlib>

#include "store/user_folders.h"

namespace {

std::filesystem::path variable(const wchar_t* name)
{
    const wchar_t* value = _wgetenv(name);
    return value != nullptr ? std::filesystem::path(value) : std::filesystem::path();
}

}  // namespace

Platform thisPlatform()
{
    return Platform::windows;
}

FolderEnvironment processEnvironment()
{
    FolderEnvironment env;
    env.platform = thisPlatform();
    env.appData = variable(L"APPDATA");
    env.localAppData = variable(L"LOCALAPPDATA");
    return env;
}
