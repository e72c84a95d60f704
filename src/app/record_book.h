#pragma once

#include <cstdint>
#include <filesystem>

#include "store/records_file.h"

// The player's best scores as the shell keeps them: read from the data
// folder when the game starts, written (atomically) whenever a new best is
// set. Without a folder nothing is read or written: the runner without
// --data-home. The window dates a new best by the clock; the runner, which
// reads no clock, dates it 0.
class RecordBook {
public:
    RecordBook() = default;
    RecordBook(const std::filesystem::path& folder, bool datedByClock);

    const Records& records() const { return records_; }
    // The date a best set now is kept with: seconds since 1970, or 0.
    std::int64_t today() const;
    // Writes the records down when they differ from the kept ones. A folder
    // that cannot be written is said once on stderr; the game plays on.
    void keep(const Records& records);

private:
    Records records_;
    std::filesystem::path folder_;
    bool datedByClock_ = false;
    bool toldUnwritable_ = false;
};
