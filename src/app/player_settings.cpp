#include "app/player_settings.h"

#include <cstdio>

#include "store/atomic_file.h"

PlayerSettings::PlayerSettings(const std::filesystem::path& folder)
{
    if (folder.empty()) {
        return;
    }
    file_ = folder / settingsFileName;
    values_ = loadSettingsFile(file_).settings;
}

void PlayerSettings::keepWindow(bool fullscreen, std::optional<WindowSize> ordinarySize)
{
    Settings kept = values_;
    kept.fullscreen = fullscreen;
    if (ordinarySize && ordinarySize->width >= Settings::minWindowSide &&
        ordinarySize->height >= Settings::minWindowSide) {
        kept.windowSize = ordinarySize;
    }
    update(kept);
}

void PlayerSettings::update(const Settings& changed)
{
    if (changed == values_) {
        return;
    }
    values_ = changed;
    if (file_.empty()) {
        return;
    }
    const std::string error = saveSettingsFile(file_, values_);
    if (!error.empty() && !toldUnwritable_) {
        toldUnwritable_ = true;
        std::fprintf(stderr, "glimmerfall: cannot keep the settings in %s (%s); playing on with them unsaved\n",
                     displayPath(file_).c_str(), error.c_str());
    }
}
