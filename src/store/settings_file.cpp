#include "store/settings_file.h"

#include <tuple>

#include "store/atomic_file.h"

namespace {

std::optional<int> readSide(const IniEntry* entry)
{
    const auto side = readInteger(entry->value, Settings::minWindowSide, Settings::maxWindowSide);
    return side ? std::optional<int>(static_cast<int>(*side)) : std::nullopt;
}

}  // namespace

std::string parseSettings(std::string_view text, Settings& settings)
{
    std::string error;
    const auto entries = parseVersionedIni(text, settingsFormatVersion, error);
    if (!entries) {
        return error;
    }
    if (const IniEntry* volume = findEntry(*entries, "sound", "volume")) {
        const auto level = readInteger(volume->value, 0, Settings::maxVolume);
        if (!level) {
            return lineError(*volume, "volume '" + volume->value + "' is not a whole number from 0 to 10");
        }
        settings.masterVolume = static_cast<int>(*level);
    }
    for (const auto& [section, key, value] : {std::tuple{"sound", "music", &settings.music},
                                              std::tuple{"window", "fullscreen", &settings.fullscreen}}) {
        if (const IniEntry* entry = findEntry(*entries, section, key)) {
            const auto on = readSwitch(entry->value);
            if (!on) {
                return lineError(*entry, std::string(key) + " '" + entry->value + "' is neither on nor off");
            }
            *value = *on;
        }
    }
    const IniEntry* width = findEntry(*entries, "window", "width");
    const IniEntry* height = findEntry(*entries, "window", "height");
    if ((width == nullptr) != (height == nullptr)) {
        return lineError(width != nullptr ? *width : *height, "the window's width and height come together");
    }
    if (width != nullptr) {
        const auto w = readSide(width);
        const auto h = readSide(height);
        if (!w || !h) {
            const IniEntry& bad = w ? *height : *width;
            return lineError(bad, "window " + bad.key + " '" + bad.value + "' is not a whole number from " +
                                      std::to_string(Settings::minWindowSide) + " to " +
                                      std::to_string(Settings::maxWindowSide));
        }
        settings.windowSize = WindowSize{*w, *h};
    }
    return {};
}

std::string formatSettings(const Settings& settings)
{
    std::string text = "; Glimmerfall's settings, written by the game.\nversion = " +
                       std::to_string(settingsFormatVersion) + "\n\n[sound]\n; 0 (silent) to 10\nvolume = " +
                       std::to_string(settings.masterVolume) + "\nmusic = " + (settings.music ? "on" : "off") +
                       "\n\n[window]\nfullscreen = " + (settings.fullscreen ? "on" : "off") + "\n";
    if (settings.windowSize) {
        text += "width = " + std::to_string(settings.windowSize->width) +
                "\nheight = " + std::to_string(settings.windowSize->height) + "\n";
    }
    return text;
}

LoadedSettings loadSettingsFile(const std::filesystem::path& file)
{
    LoadedSettings loaded;
    loaded.notice = loadPlayerValues(file, parseSettings, loaded.settings, "using the default settings");
    return loaded;
}

std::string saveSettingsFile(const std::filesystem::path& file, const Settings& settings)
{
    return writeFileAtomically(file, formatSettings(settings));
}
