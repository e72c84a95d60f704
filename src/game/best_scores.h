#pragma once

#include <cstdint>

#include "store/records_file.h"

// The best scores as the game keeps them: for each level its best bonus (the
// time left over), and the best whole-game score, read from the player's
// records when the game starts. The game notes every new best as it is set;
// the host writes them down (app/record_book.h).
struct BestScores {
    Records records;
    bool newLevelBest = false;  // the level just cleared beat its best: the level-complete screen says so
    bool newGameBest = false;   // this game's score beat the best: the final screen says so
    bool gameScoreNoted = false;  // the final score has been compared, once
    bool changed = false;       // a new best not yet written down
    bool keeping = true;        // false for a game that jumped to a level: it sets no records
    std::int64_t today = 0;     // the date given to a new best (seconds since 1970; 0 in the runner)
};

// A level cleared with the given bonus (levels 1 … levelCount).
void noteLevelBonus(BestScores& best, int level, int bonus);
// The game's final score, at its final screen.
void noteGameScore(BestScores& best, int score);
