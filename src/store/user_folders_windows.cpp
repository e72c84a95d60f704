// The Windows edge of user_folders.h: the environment read as UTF-16, so a
// user name outside the ANSI code page still gives the right folder.
#include <cstdlib>
#include <string>

#include "store/user_folders.h"

Platform thisPlatform()
{
    return Platform::windows;
}

std::filesystem::path environmentVariable(const char* name)
{
    const std::wstring wide(name, name + std::char_traits<char>::length(name));  // the names are ASCII
    const wchar_t* value = _wgetenv(wide.c_str());
    return value != nullptr ? std::filesystem::path(value) : std::filesystem::path();
}
