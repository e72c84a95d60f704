#include "game/best_scores.h"

#include "world/level.h"

static_assert(recordLevelCount == levelCount, "the records file keeps one best per level");

void noteLevelBonus(BestScores& best, int level, int bonus)
{
    best.newLevelBest = best.keeping && recordLevelBonus(best.records, level, bonus, best.today);
    best.changed = best.changed || best.newLevelBest;
}

void noteGameScore(BestScores& best, int score)
{
    if (best.gameScoreNoted) {
        return;
    }
    best.gameScoreNoted = true;
    best.newGameBest = best.keeping && recordGameScore(best.records, score, best.today);
    best.changed = best.changed || best.newGameBest;
}
