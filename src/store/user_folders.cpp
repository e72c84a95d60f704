#include "store/user_folders.h"

namespace {

// An absolute path joined with the given parts, or an empty one.
std::filesystem::path under(const std::filesystem::path& base, const std::filesystem::path& rest)
{
    if (base.empty() || !base.is_absolute()) {
        return {};
    }
    return base / rest;
}

std::filesystem::path userFolder(const FolderEnvironment& env, const std::filesystem::path& xdg,
                                 const std::filesystem::path& homeRelative,
                                 const std::filesystem::path& windowsBase)
{
    if (env.platform == Platform::windows) {
        return under(windowsBase, "Glimmerfall");
    }
    std::filesystem::path folder = under(xdg, "glimmerfall");
    return folder.empty() ? under(env.home, homeRelative / "glimmerfall") : folder;
}

}  // namespace

FolderEnvironment processEnvironment()
{
    return {thisPlatform(),
            environmentVariable("XDG_CONFIG_HOME"),
            environmentVariable("XDG_DATA_HOME"),
            environmentVariable("HOME"),
            environmentVariable("APPDATA"),
            environmentVariable("LOCALAPPDATA")};
}

std::filesystem::path configFolder(const FolderEnvironment& env)
{
    return userFolder(env, env.xdgConfigHome, ".config", env.appData);
}

std::filesystem::path dataFolder(const FolderEnvironment& env)
{
    return userFolder(env, env.xdgDataHome, std::filesystem::path(".local") / "share", env.localAppData);
}
