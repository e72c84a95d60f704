#include "app/record_book.h"

#include <cstdio>
#include <ctime>

#include "store/atomic_file.h"

RecordBook::RecordBook(const std::filesystem::path& folder, bool datedByClock)
    : folder_(folder), datedByClock_(datedByClock)
{
    if (!folder_.empty()) {
        records_ = loadRecordsFile(folder_ / recordsFileName).records;
    }
}

std::int64_t RecordBook::today() const
{
    return datedByClock_ ? static_cast<std::int64_t>(std::time(nullptr)) : 0;
}

void RecordBook::keep(const Records& records)
{
    if (records == records_) {
        return;
    }
    records_ = records;
    if (folder_.empty()) {
        return;
    }
    const std::string error = saveRecordsFile(folder_ / recordsFileName, records_);
    if (!error.empty() && !toldUnwritable_) {
        toldUnwritable_ = true;
        std::fprintf(stderr, "glimmerfall: cannot keep the best scores in %s (%s); playing on\n",
                     displayPath(folder_).c_str(), error.c_str());
    }
}
