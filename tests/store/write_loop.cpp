// Writes one of two settings or records files over and over, alternating,
// until it is killed: the other side of the kill-during-write test.
//   store_write_loop settings|records FILE
#include <cstdio>
#include <cstring>

#include "store/records_file.h"
#include "store/settings_file.h"
#include "store_kill_samples.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: store_write_loop settings|records FILE\n");
        return 2;
    }
    const bool settings = std::strcmp(argv[1], "settings") == 0;
    for (unsigned long n = 0;; ++n) {
        const std::string error = settings ? saveSettingsFile(argv[2], killSampleSettings(n % 2))
                                           : saveRecordsFile(argv[2], killSampleRecords(n % 2));
        if (!error.empty()) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        if (n == 0) {
            // The test times its kill from here, not from the start, which a
            // busy machine can delay by more than the kill's whole window.
            std::fprintf(stderr, "writing\n");
        }
    }
}
