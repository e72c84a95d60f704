// Feeds arbitrary bytes to the settings and records readers (one INI reader
// under both). Whatever either accepts must hold values in range and come
// back the same through its writer's text; whatever it refuses must say why.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "store/records_file.h"
#include "store/settings_file.h"

namespace {

void checkSettings(std::string_view text)
{
    Settings settings;
    if (!parseSettings(text, settings).empty()) return;
    if (settings.masterVolume < 0 || settings.masterVolume > Settings::maxVolume) std::abort();
    if (settings.windowSize &&
        (settings.windowSize->width < Settings::minWindowSide || settings.windowSize->width > Settings::maxWindowSide ||
         settings.windowSize->height < Settings::minWindowSide || settings.windowSize->height > Settings::maxWindowSide)) {
        std::abort();
    }
    Settings again;
    if (!parseSettings(formatSettings(settings), again).empty() || again != settings) std::abort();
}

void checkRecords(std::string_view text)
{
    Records records;
    if (!parseRecords(text, records).empty()) return;
    for (const auto& record : records.levels) {
        if (record && (record->score < 0 || record->score > Record::maxScore || record->date < 0 ||
                       record->date > Record::maxDate)) {
            std::abort();
        }
    }
    Records again;
    if (!parseRecords(formatRecords(records), again).empty() || again != records) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto entries = parseIni(text, error);
    if (entries.has_value() == !error.empty()) std::abort();
    if (entries) {
        int line = 0;
        for (const IniEntry& entry : *entries) {
            if (entry.line < line || entry.line < 1) std::abort();
            line = entry.line;
        }
    }
    checkSettings(text);
    checkRecords(text);
    return 0;
}
