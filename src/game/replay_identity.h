#pragma once

#include <cstdint>

#include "store/replay_file.h"

// What a replay was played with, and what one must have been played with to
// be played here: this game's version and platform, and its data files.

// A checksum of the game's data files in the current folder, by name, size
// and content (a missing file counts as empty).
std::uint64_t dataFilesChecksum();

// The header of a replay recorded here.
ReplayHeader replayHeaderHere(std::uint64_t dataChecksum);

// A replay plays here when it was made with this version of the game and
// these data files; one made on the other platform plays too, and its
// checksums tell where it goes its own way.
ReplayExpectation replayExpectationHere(std::uint64_t dataChecksum);
