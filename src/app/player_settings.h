#pragma once

#include <filesystem>

#include "store/settings_file.h"

// The player's settings as the shell keeps them: the master volume, the
// music, fullscreen and the window's size, read when the game starts and
// written (atomically) whenever one of them changes. Without a folder they
// are the defaults and nothing is written: the runner without --config.
class PlayerSettings {
public:
    PlayerSettings() = default;
    // The settings file in `folder`, read now. A missing file gives the
    // defaults; a damaged one the defaults too, named on stderr and kept
    // aside for the player.
    explicit PlayerSettings(const std::filesystem::path& folder);

    const Settings& values() const { return values_; }

    // Takes changed settings and writes the file when anything differs. A
    // folder that cannot be written is said once on stderr; the game plays
    // on with the settings it has.
    void update(const Settings& changed);
    // The window as it is now: fullscreen or not, and an ordinary window's
    // client size (none when maximised, minimised or fullscreen). A size
    // below the smallest kept one is not kept.
    void keepWindow(bool fullscreen, std::optional<WindowSize> ordinarySize);

private:
    Settings values_;
    std::filesystem::path file_;
    bool toldUnwritable_ = false;
};
